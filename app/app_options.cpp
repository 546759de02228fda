#include "app_options.h"

#include <QDir>
#include <QFileInfo>

AppOptions parseOptions(const QStringList& arguments)
{
    AppOptions o;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        auto value = [&](const QString& name) -> QString {
            if (a.startsWith(name + QLatin1Char('=')))
                return a.mid(name.size() + 1);
            if (i + 1 < arguments.size())
                return arguments[++i];
            o.error = name + QStringLiteral(" needs a value");
            return QString();
        };
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
        } else if (a == QLatin1String("--card") || a.startsWith(QLatin1String("--card="))) {
            const QString path = value(QStringLiteral("--card"));
            // Absolute, so the program's own folder may be anywhere.
            if (!path.isEmpty())
                o.device = QStringLiteral("image:") + QFileInfo(path).absoluteFilePath();
        } else if (a == QLatin1String("--device") || a.startsWith(QLatin1String("--device="))) {
            o.device = value(QStringLiteral("--device"));
        } else {
            o.error = QStringLiteral("unknown argument: ") + a;
        }
        if (!o.error.isEmpty())
            break;
    }
    return o;
}

QString usageText()
{
    return QStringLiteral("Usage: cardsuite [--card IMAGE | --device DEVICE]\n"
                          "\n"
                          "Manages the saves on a memory card through its USB adapter.\n"
                          "Save files are kept in the folder 'saver' under the current folder.\n"
                          "\n"
                          "  --card IMAGE     use the emulated adapter over the card image file\n"
                          "                   IMAGE; a missing file becomes a blank 16 Mbit card\n"
                          "  --device DEVICE  the adapter: usb:VVVV:PPPP, a device path, or\n"
                          "                   image:PATH (default: MCBRIDGE_DEVICE)\n"
                          "  --help           this text\n");
}

void applyDevice(const AppOptions& options)
{
    if (!options.device.isEmpty())
        qputenv("MCBRIDGE_DEVICE", options.device.toLocal8Bit());
}
