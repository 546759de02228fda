#include "commands/card_report.h"

#include "commands/save_names.h"

#include "i18n/texts.h"

namespace {

QString blockRuns(const std::vector<uint16_t>& blocks)
{
    QStringList runs;
    for (std::size_t i = 0; i < blocks.size();) {
        std::size_t j = i;
        while (j + 1 < blocks.size() && blocks[j + 1] == blocks[j] + 1)
            ++j;
        runs << (j > i ? QStringLiteral("%1-%2").arg(blocks[i]).arg(blocks[j])
                       : QString::number(blocks[i]));
        i = j + 1;
    }
    return runs.join(QStringLiteral(", "));
}

QString structure(int32_t detail) { return detail == 2 ? say_s_map : say_s_directory; }

QString prefix(int32_t severity)
{
    return severity == MCB_SEVERITY_FAULT     ? say_p_fault
           : severity == MCB_SEVERITY_WARNING ? say_p_warning
                                              : QString();
}

QString line(const Finding& x, int32_t kind)
{
    const mcb_finding& f = x.f;
    const QString copy = QString::number(f.copy + 1);
    switch (kind) {
    case MCB_FINDING_COPY_IN_USE:
        return say_f_inuse.arg(structure(f.detail), copy, QString::number(f.count));
    case MCB_FINDING_COPY_DAMAGED: return say_f_damaged.arg(copy, structure(f.detail));
    case MCB_FINDING_HEADER_DAMAGED: return say_f_header;
    case MCB_FINDING_HEADER_SIZE:
        return say_f_headersize.arg(QString::number(f.count), QString::number(f.expected));
    case MCB_FINDING_SAVE:
        return say_f_save.arg(QString::number(f.slot), savePlace(f), QString::number(f.count),
                              blockRuns(x.blocks));
    case MCB_FINDING_BROKEN_CHAIN: return say_f_broken.arg(QString::number(f.slot), savePlace(f));
    case MCB_FINDING_COUNT_DISAGREES:
        return say_f_count.arg(QString::number(f.slot), savePlace(f), QString::number(f.count),
                               QString::number(f.expected));
    case MCB_FINDING_SHARED_BLOCKS:
        return say_f_shared.arg(QString::number(f.slot), savePlace(f),
                                QString::number(f.other_slot), QString::number(f.count));
    case MCB_FINDING_LEAKED_BLOCKS:
        return say_f_leaked.arg(QString::number(f.count), blockRuns(x.blocks));
    case MCB_FINDING_FREE_COUNT:
        return say_f_freecount.arg(copy, QString::number(f.count), QString::number(f.expected));
    case MCB_FINDING_TWIN_SAVES:
        return say_f_twins.arg(QString::number(f.slot), QString::number(f.other_slot),
                               savePlace(f));
    case MCB_REPAIR_REBUILD_COPY: return say_r_rebuild.arg(copy, structure(f.detail));
    case MCB_REPAIR_FREE_BLOCKS:
        return say_r_free.arg(QString::number(f.count), blockRuns(x.blocks));
    case MCB_REPAIR_FREE_COUNT:
        return say_r_freecount.arg(QString::number(f.count), QString::number(f.expected));
    case MCB_REPAIR_SAVE_LEFT: return say_r_left.arg(QString::number(f.slot), savePlace(f));
    case MCB_REPAIR_NOT_MENDED: return say_r_notmended + line(x, f.detail);
    case MCB_RECOVERABLE: {
        QString text =
            say_rec_item.arg(QString::number(f.slot), savePlace(f), QString::number(f.count));
        if (f.detail == MCB_RECOVER_RUN)
            text += QLatin1Char(' ') + say_rec_run;
        return text;
    }
    default: return QString::number(kind);
    }
}

} // namespace

std::vector<Finding> takeFindings(mcb_card* card, uint32_t count)
{
    std::vector<Finding> out;
    for (uint32_t i = 0; i < count; ++i) {
        Finding x;
        if (mcb_card_finding(card, i, &x.f) < 0)
            break;
        x.blocks.resize(x.f.blocks);
        if (x.f.blocks)
            mcb_card_finding_blocks(card, i, x.blocks.data(), x.blocks.size());
        out.push_back(std::move(x));
    }
    return out;
}

QString savePlace(const mcb_finding& f)
{
    return shownCode(QByteArray(f.code)) + QLatin1Char(' ') +
           decodeSaveName(QByteArray(f.name), QByteArray(f.code));
}

QString findingLine(const Finding& finding)
{
    return prefix(finding.f.severity) + line(finding, finding.f.kind);
}

QStringList findingLines(const std::vector<Finding>& findings)
{
    QStringList lines;
    for (const Finding& f : findings)
        lines << findingLine(f);
    return lines;
}

QString verdictLine(bool sound, const std::vector<Finding>& findings)
{
    int faults = 0, warnings = 0;
    for (const Finding& f : findings) {
        faults += f.f.severity == MCB_SEVERITY_FAULT;
        warnings += f.f.severity == MCB_SEVERITY_WARNING;
    }
    if (!sound)
        return say_v_unsound.arg(faults);
    return warnings ? say_v_warnings.arg(warnings) : say_v_sound;
}
