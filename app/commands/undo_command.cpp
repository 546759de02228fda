#include "commands/undo_command.h"

#include "cards/card_link.h"

#include "i18n/texts.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

std::vector<JournalRecord> journalRecords(mcb_card* card, int* error)
{
    std::vector<JournalRecord> records;
    int n = mcb_journal_list(card, nullptr, 0);
    std::vector<mcb_journal_entry> entries;
    if (n > 0) {
        entries.resize(std::size_t(n));
        for (mcb_journal_entry& e : entries)
            e.size = sizeof e;
        // A change made meanwhile adds a record; the list is cut to what fits.
        n = mcb_journal_list(card, entries.data(), entries.size());
    }
    if (error)
        *error = n < 0 ? n : MCB_OK;
    for (std::size_t i = 0; n > 0 && i < std::min(entries.size(), std::size_t(n)); ++i) {
        const mcb_journal_entry& e = entries[i];
        JournalRecord r;
        r.number = e.number;
        r.time = QDateTime::fromSecsSinceEpoch(e.time).toLocalTime();
        r.what = changeText(QString::fromUtf8(e.what));
        r.saves = QString::fromUtf8(e.saves);
        r.blocks = e.blocks;
        r.complete = e.complete != 0;
        records.push_back(r);
    }
    return records;
}

QString changeText(const QString& word)
{
    // The library's words are the journal's own and are the same whichever
    // program made the change (cardtool too); a group's own name is shown
    // as it was given.
    static const QRegularExpression undo(QStringLiteral("^undo to before #(\\d+)$"));
    if (const QRegularExpressionMatch m = undo.match(word); m.hasMatch())
        return Say_change_undo.arg(m.captured(1));
    const std::pair<const char16_t*, const QString*> words[] = {
        {u"upload", &say_change_upload},         {u"replace", &say_change_replace},
        {u"delete", &say_change_delete},         {u"write card", &say_change_writecard},
        {u"repair", &say_change_repair},         {u"recover", &say_change_recover},
        {u"unfinished", &say_change_unfinished},
    };
    for (const auto& [library, shown] : words)
        if (word == QStringView(library))
            return *shown;
    return word;
}

QString changeSummary(const JournalRecord& record)
{
    if (record.saves.isEmpty())
        return record.what;
    // Saves are listed "name (CODE), name (CODE)": the code in brackets ends
    // each, so a comma inside a name does not split it.
    const QStringList saves = record.saves.split(QStringLiteral("), "));
    QString first = saves.front();
    if (saves.size() > 1)
        first += u')';
    const QString named =
        saves.size() > 1 ? Say_change_more.arg(first, QString::number(saves.size() - 1)) : first;
    return Say_change_of.arg(record.what, named);
}

QString recordLine(const JournalRecord& record)
{
    QString line =
        QLocale().toString(record.time, QLocale::ShortFormat) + QStringLiteral("  ") +
        (record.saves.isEmpty() ? record.what : Say_change_of.arg(record.what, record.saves));
    if (record.blocks)
        line += QStringLiteral("  ") + Say_change_blocks.arg(record.blocks);
    return line;
}

QString undoEntryText(const JournalRecord* latest)
{
    return latest ? Say_menu_undo.arg(changeSummary(*latest)) : say_menu_undo_none;
}

UndoCommand::Outcome UndoCommand::run(uint32_t number)
{
    int error = MCB_OK;
    const std::vector<JournalRecord> records = journalRecords(fCard, &error);
    if (error != MCB_OK) {
        fHost.tell(withCodeReason(say_undo_noread, error, fCard));
        return Outcome::Failed;
    }
    if (records.empty()) {
        fHost.tell(say_undo_nothing);
        return Outcome::Nothing;
    }
    const uint32_t target = number ? number : records.front().number;
    QStringList lines;
    bool found = false;
    for (const JournalRecord& r : records) {
        if (r.number < target)
            break;
        lines << QStringLiteral("• ") + recordLine(r);
        found = found || r.number == target;
    }
    if (!found) {
        fHost.tell(say_undo_gone);
        return Outcome::Nothing;
    }
    const QString question =
        lines.size() == 1 ? Say_undo_ask.arg(lines.front())
                          : Say_undo_askmany.arg(lines.join(u'\n'), QString::number(lines.size()));
    if (!fHost.dialogs().askYesNo(question, say_menu_undo_none))
        return Outcome::Declined;
    fHost.busy(i18n::busyText(say_undo_busy));
    const int rc = mcb_undo(fCard, target);
    // Whatever came of it, the list shows the card as it is now: put back,
    // half put back, or changed by someone else.
    fHost.changed(CommandHost::Changed::CardList);
    if (rc == MCB_E_JOURNAL) {
        fHost.tell(say_undo_elsewhere);
        return Outcome::ChangedElsewhere;
    }
    if (rc != MCB_OK) {
        fHost.tell(withCodeReason(say_undo_failed, rc, fCard) + say_undo_again);
        return Outcome::Failed;
    }
    fHost.tell(Say_undo_done.arg(lines.join(u'\n')));
    return Outcome::Undone;
}
