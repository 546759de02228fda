#include "window/card_image_question.h"

#include "i18n/texts.h"
#include "skin/dialogs.h"

#include <QFileInfo>

std::optional<QString> missingCardImage(const QString& device)
{
    static const QString prefix = QStringLiteral("image:");
    if (!device.startsWith(prefix))
        return std::nullopt;
    const QString path = device.mid(prefix.size());
    // exists() follows links: a dangling one is missing too, since the
    // adapter would create its target.
    if (path.isEmpty() || QFileInfo(path).exists())
        return std::nullopt;
    return path;
}

bool confirmMissingCardImage(const QString& title)
{
    const auto path = missingCardImage(qEnvironmentVariable("MCBRIDGE_DEVICE"));
    if (!path)
        return true;
    if (skin::dialogs().askYesNo(i18n::createCardQuestion(*path), title))
        return true;
    // Started from a desktop launcher, nobody reads standard error: the
    // window that never opens is explained where the question was.
    skin::dialogs().information(say_nocardmade.arg(*path), title);
    return false;
}
