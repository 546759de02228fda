#include "window/cards_menu.h"

#include "cards/card_link.h"
#include "cards/second_card.h"
#include "commands/failure_reason.h"
#include "commands/user_file.h"
#include "window/main_form.h"

#include "cardplaces/per_game.h"
#include "i18n/texts.h"
#include "mcbridge.h"
#include "skin/dialogs.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

namespace {

QString kindName(cardplaces::CardKind kind)
{
    switch (kind) {
    case cardplaces::CardKind::Adapter: return say_kind_adapter;
    case cardplaces::CardKind::EmulatorImage: return say_kind_emuimage;
    case cardplaces::CardKind::EmulatorFolder: return say_kind_emufolder;
    case cardplaces::CardKind::PerGame: return say_kind_pergame;
    case cardplaces::CardKind::Recent: return say_kind_recent;
    }
    return {};
}

// Where a found card is, in the program's language.
QString whereName(const cardplaces::Where& w)
{
    switch (w.kind) {
    case cardplaces::Where::Kind::Variable: return say_where_variable;
    case cardplaces::Where::Kind::Node: return say_where_node;
    case cardplaces::Where::Kind::Emulator: {
        const QString install = w.install == cardplaces::Install::Native    ? say_where_native
                                : w.install == cardplaces::Install::Flatpak ? say_where_flatpak
                                                                            : say_where_older;
        QString text = say_where_slot.arg(install, QString(QChar::fromLatin1(w.slot)));
        if (!w.region.empty())
            text = say_where_region.arg(text, QString::fromStdString(w.region));
        return w.configured ? say_where_configured.arg(text) : text;
    }
    case cardplaces::Where::Kind::SdCard:
        return say_where_sd.arg(QString::fromStdString(w.sdCard), QString::fromStdString(w.game),
                                QString::number(w.channel));
    case cardplaces::Where::Kind::Recent: break;
    }
    // Cards opened lately are told apart by where they are.
    return w.path.empty() ? say_where_recent : QString::fromStdString(w.path);
}

QString menuText(const QString& text) { return text.endsWith(u'…') ? text.chopped(1) : text; }

// The card shown on the card side, through a handle of its own: its save
// count and its encoding, or the reason it cannot be read.
struct CardFacts {
    int error = MCB_OK;
    mcb_card_info info{};
};

CardFacts factsOf(const QString& device)
{
    CardFacts f;
    f.info.size = sizeof f.info;
    mcb_card* card = nullptr;
    f.error = mcb_open(QFile::encodeName(device).constData(), &card);
    if (f.error == MCB_OK)
        f.error = mcb_describe_card(card, &f.info);
    mcb_close(card);
    return f;
}

// A name in folder for the card as it is before a format, from the time,
// that no file has yet.
QString freeFormatName(const QString& folder)
{
    const QString base =
        QStringLiteral("card before format ") +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
    QString path = folder + QLatin1Char('/') + base + QStringLiteral(".raw");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder + QLatin1Char('/') + base + QLatin1Char(' ') + QString::number(n) +
               QStringLiteral(".raw");
    return path;
}

void openCardImage(TMainForm& form, const cardplaces::Environment& env)
{
    const std::optional<QString> path =
        skin::dialogs().openFileName({menuText(say_menu_opencard), form.saverDir(), QString(),
                                      say_cardimagefilter, QStringLiteral("raw")});
    if (path)
        showCardOnCardSide(form, QStringLiteral("image:") + *path, env);
}

void newCardImage(TMainForm& form, const cardplaces::Environment& env)
{
    const QString title = menuText(say_menu_newcard);
    const std::optional<QString> path =
        skin::dialogs().saveFileName({title, form.saverDir(), QStringLiteral("card.raw"),
                                      say_rawimagefilter, QStringLiteral("raw")});
    if (!path)
        return;
    const std::optional<QString> size =
        skin::dialogs().text(title, say_newcard_size, QStringLiteral("16"));
    if (!size)
        return;
    const int encoding = skin::dialogs().choose(
        say_newcard_encoding, title, {say_encoding_western, say_encoding_japanese, say_cancel});
    if (encoding > 1)
        return;
    const int rc =
        mcb_create_image(QFile::encodeName(*path).constData(), size->trimmed().toUInt(), encoding);
    if (rc != MCB_OK) {
        form.OkBtnExe(withReason(say_newcard_failed + *path, -rc));
        return;
    }
    showCardOnCardSide(form, QStringLiteral("image:") + *path, env);
}

void formatCard(TMainForm& form)
{
    form.runCommand(form.b2, [&form] {
        const QString device = mainDevice();
        const CardFacts facts = factsOf(device);
        if (facts.error != MCB_OK) {
            form.OkBtnExe(withReason(say_format_failed, -facts.error));
            return;
        }
        const QString count = QString::number(facts.info.saves);
        const QString title = menuText(say_menu_formatcard);
        if (!skin::dialogs().askYesNo(Say_format_ask.arg(count), title) ||
            !skin::dialogs().askYesNo(Say_format_askagain.arg(count), title))
            return;
        // The card as it was goes into the save folder first, as before a
        // restore: a format the user regrets is undone by restoring it. The
        // same handle formats it, so no other program gets in between.
        const QString kept = freeFormatName(form.saverDir());
        QDir().mkpath(form.saverDir());
        mcb_card* card = nullptr;
        int rc = mcb_open(QFile::encodeName(device).constData(), &card);
        if (rc != MCB_OK) {
            form.OkBtnExe(withCodeReason(say_format_failed, rc));
            return;
        }
        const QByteArray image = cardImage(card);
        if (image.isEmpty() || !writeNewUserFile(kept, image)) {
            form.OkBtnExe(image.isEmpty() ? withCardReason(say_format_failed, card)
                                          : say_format_failed + kept);
            mcb_close(card);
            return;
        }
        rc = mcb_format(card, int32_t(facts.info.encoding));
        if (rc != MCB_OK) {
            form.OkBtnExe(withCardReason(say_format_failed, card));
            mcb_close(card);
            return;
        }
        mcb_close(card);
        form.OkBtnExe(Say_format_done.arg(kept));
    });
    form.deviceChanged();
}

void splitToSd(TMainForm& form, const QString& root)
{
    const int layout =
        skin::dialogs().choose(say_split_layout, menuText(say_menu_split),
                               {QStringLiteral("MemoryCards/GC/DL-DOL-GAFE-USA/"),
                                QStringLiteral("MemoryCards/GAFE0100/"), say_cancel});
    if (layout > 1)
        return;
    form.runCommand(form.b1, [&] {
        const cardplaces::SplitSummary s =
            cardplaces::splitCard(mainDevice().toStdString(), root.toStdString(),
                                  cardplaces::sdLayoutRows()[std::size_t(layout)]);
        if (!s.problem.empty()) {
            form.OkBtnExe(QString::fromStdString(s.problem));
            return;
        }
        QStringList lines;
        int made = 0;
        for (const cardplaces::SplitCard& c : s.cards) {
            if (c.problem.empty()) {
                ++made;
                lines << QString::fromStdString(c.id) + QStringLiteral(": ") +
                             QDir(root).relativeFilePath(QString::fromStdString(c.path));
            } else {
                lines << Say_split_notmade.arg(QString::fromStdString(c.id),
                                               QString::fromStdString(c.problem));
            }
        }
        lines.prepend(Say_split_summary.arg(QString::number(made), root));
        form.OkBtnExe(lines.join(u'\n'));
    });
}

void gatherFromSd(TMainForm& form, const QString& root)
{
    form.runCommand(form.b2, [&] {
        const cardplaces::GatherSummary g =
            cardplaces::gatherCards(root.toStdString(), mainDevice().toStdString());
        QStringList lines;
        if (!g.problem.empty())
            lines << say_gather_nothing + QString::fromStdString(g.problem);
        lines << Say_gather_summary.arg(QString::number(g.written()),
                                        QString::number(g.saves.size()));
        for (const cardplaces::GatherSave& s : g.saves)
            if (!s.problem.empty())
                lines << QString::fromStdString(s.code) + u' ' +
                             QString::fromLocal8Bit(s.name.c_str()) + QStringLiteral(": ") +
                             QString::fromStdString(s.problem);
        form.OkBtnExe(lines.join(u'\n'));
    });
    form.deviceChanged();
}

} // namespace

void showCardOnCardSide(TMainForm& form, const QString& device, const cardplaces::Environment& env)
{
    // Never under a running command: it reads the card named here, perhaps
    // on the card's thread.
    if (form.commandRunning())
        return;
    const CardFacts facts = factsOf(device);
    if (facts.error != MCB_OK) {
        form.OkBtnExe(withReason(say_opencard_failed + device, -facts.error));
        return;
    }
    cardplaces::rememberCard(env, device.toStdString());
    qputenv("MCBRIDGE_DEVICE", QFile::encodeName(device));
    form.deviceChanged();
}

std::function<cardplaces::Environment()> cardsEnvironment = &cardplaces::Environment::fromProcess;

void addCardsMenu(QMenu& menu, TMainForm& form)
{
    const cardplaces::Environment env = cardsEnvironment();
    QMenu* cards = menu.addMenu(say_menu_cards);
    cards->setObjectName(QStringLiteral("cardsMenu"));
    const auto found = cardplaces::findCards(env);
    for (const cardplaces::FoundCard& c : found) {
        const QString device = QString::fromStdString(c.device);
        QAction* a = cards->addAction(say_cards_entry.arg(kindName(c.kind), whereName(c.where),
                                                          QString::number(c.megabits),
                                                          QString::number(c.saves)));
        a->setToolTip(device);
        a->setEnabled(c.problem.empty() && device != mainDevice());
        QObject::connect(a, &QAction::triggered, &form,
                         [&form, device, env] { showCardOnCardSide(form, device, env); });
    }
    if (found.empty())
        cards->addAction(say_cards_none)->setEnabled(false);
    cards->addSeparator();
    QObject::connect(cards->addAction(say_menu_opencard), &QAction::triggered, &form,
                     [&form, env] { openCardImage(form, env); });
    QObject::connect(cards->addAction(say_menu_newcard), &QAction::triggered, &form,
                     [&form, env] { newCardImage(form, env); });
    QAction* format = cards->addAction(say_menu_formatcard);
    format->setEnabled(form.cardListed());
    QObject::connect(format, &QAction::triggered, &form, [&form] { formatCard(form); });
    for (const std::string& root : cardplaces::sdCardRoots(env)) {
        const QString r = QString::fromStdString(root);
        cards->addSeparator();
        // Named by the SD card's own name, as the file manager shows it.
        const QString sd = QStringLiteral(" (") + QFileInfo(r).fileName() + QStringLiteral(")…");
        QAction* split = cards->addAction(menuText(say_menu_split) + sd);
        split->setEnabled(form.cardListed());
        QObject::connect(split, &QAction::triggered, &form, [&form, r] { splitToSd(form, r); });
        QAction* gather = cards->addAction(menuText(say_menu_gather) + sd);
        gather->setEnabled(form.cardListed());
        QObject::connect(gather, &QAction::triggered, &form, [&form, r] { gatherFromSd(form, r); });
    }
}
