#include "app_options.h"
#include "change_form.h"
#include "editor/save_edit_form.h"
#include "mail_cache.h"
#include "main_form.h"
#include "qt_dialogs.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("cardsuite"));
    const AppOptions options = parseOptions(QApplication::arguments());
    if (options.help) {
        std::fputs(qPrintable(usageText()), stdout);
        return 0;
    }
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "cardsuite: %s\n%s", qPrintable(options.error),
                     qPrintable(usageText()));
        return 2;
    }
    applyDevice(options);

    // Saves mailed last time have long been read by the mail program.
    clearMailCache();

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
