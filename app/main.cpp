#include "app_options.h"
#include "commands/mail_cache.h"
#include "commands/user_file.h"
#include "editor/save_edit_form.h"
#include "i18n/texts.h"
#include "window/card_image_question.h"
#include "window/change_form.h"
#include "window/main_form.h"
#include "window/qt_dialogs.h"
#include "window/qt_translations.h"
#include "window/window_placement.h"

#include "skin/dialogs.h"

#include <QApplication>
#include <QList>
#include <QLocale>
#include <QScreen>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

struct HeldMessage {
    QtMsgType type;
    QString text;
};
QList<HeldMessage>& heldMessages()
{
    static QList<HeldMessage> held;
    return held;
}

// While the application object connects to the desktop, a failure there is
// Qt's fatal message, which would abort with a core dump: the user gets one
// line saying why and a plain exit instead. What the platform says on the
// way is held back until it is known whether the window can be shown.
void holdDesktopMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtFatalMsg) {
        heldMessages().append({type, message});
        return;
    }
    const QString why = heldMessages().isEmpty() ? message : heldMessages().constFirst().text;
    std::fprintf(stderr, "cardsuite: cannot show its window on this desktop: %s\n",
                 qPrintable(why.section(QLatin1Char('\n'), 0, 0).trimmed()));
    std::_Exit(1);
}

void releaseDesktopMessages(QtMessageHandler previous)
{
    qInstallMessageHandler(previous);
    for (const HeldMessage& m : heldMessages())
        previous(m.type, QMessageLogContext(), m.text);
    heldMessages().clear();
}

} // namespace

int main(int argc, char** argv)
{
    // The command line is answered before anything needs a display, so
    // --help and --version work in any terminal.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const AppOptions options = parseOptions(arguments);
    if (options.help) {
        std::fputs(qPrintable(usageText()), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(qPrintable(versionText()), stdout);
        return 0;
    }
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "cardsuite: %s\n%s", qPrintable(options.error),
                     qPrintable(usageText()));
        return 2;
    }
    if (!desktopAvailable()) {
        std::fputs("cardsuite: needs a desktop to show its window (neither DISPLAY nor "
                   "WAYLAND_DISPLAY is set); cardtool works in a terminal\n",
                   stderr);
        return 1;
    }

    QApplication::setApplicationName(QStringLiteral("cardsuite"));
    const QtMessageHandler previous = qInstallMessageHandler(holdDesktopMessage);
    std::optional<QApplication> app(std::in_place, argc, argv);
    releaseDesktopMessages(previous);
    applyDevice(options);
    applyDataDir(options);

    // Saves mailed last time have long been read by the mail program.
    clearMailCache();
    // A run ended by a signal leaves none of our temporary files behind; one
    // killed outright or cut by a power loss has them removed now.
    cleanUpAfterEarlierRuns({dataDir() + QStringLiteral("/saver")});

    const i18n::Language language = i18n::languageFor(TMainForm::languageId());
    i18n::fillTexts(language);
    installQtTranslations(language);

    // A scale factor too large for the screen would open the window with its
    // buttons off it. The scale is only read as the application starts, so
    // it starts again at the largest that fits, after saying so.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const double ratio = screen->devicePixelRatio();
        const QSize room = (QSizeF(screen->availableGeometry().size()) * ratio).toSize();
        if (const std::optional<double> fit = scaleThatFits(QSize(660, 480), room, ratio)) {
            skin::dialogs().information(
                say_scaletoolarge.arg(QLocale().toString(ratio), QLocale().toString(*fit)),
                QStringLiteral("CARD SHUTTLE"));
            const double asked = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                                     ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                     : 1.0;
            qputenv("QT_SCALE_FACTOR",
                    QByteArray::number((asked > 0 ? asked : 1.0) * *fit / ratio, 'g', 6));
            app.reset();
            app.emplace(argc, argv);
            installQtTranslations(language);
        }
    }

    // Asked before the main window reads the card, which would make the image.
    if (!confirmMissingCardImage(QStringLiteral("CARD SHUTTLE"))) {
        // Told in a window already; the line is for a terminal's log.
        std::fputs("cardsuite: no card image was made; start again with an existing one\n", stderr);
        return 1;
    }

    TMainForm mainForm;
    TSaveEditForm saveEditForm(&mainForm);
    mainForm.SaveEditForm = &saveEditForm;
    TChangeForm changeForm(&mainForm);
    mainForm.ChangeForm = &changeForm;
    AppDialogs dialogs(mainForm);
    skin::installDialogs(&dialogs);
    mainForm.startDeviceWatch();
    mainForm.show();
    const int status = QApplication::exec();
    skin::installDialogs(nullptr);
    return status;
}
