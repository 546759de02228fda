#include "app_options.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString& chosenDataDir()
{
    static QString dir;
    return dir;
}

} // namespace

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
        auto is = [&](const char* name) {
            return a == QLatin1String(name) || a.startsWith(QLatin1String(name) + QLatin1Char('='));
        };
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
        } else if (a == QLatin1String("--version")) {
            o.version = true;
        } else if (is("--card")) {
            const QString path = value(QStringLiteral("--card"));
            // Absolute, so the program's own folder may be anywhere.
            if (!path.isEmpty())
                o.device = QStringLiteral("image:") + QFileInfo(path).absoluteFilePath();
        } else if (is("--device")) {
            o.device = value(QStringLiteral("--device"));
        } else if (is("--data-dir")) {
            const QString dir = value(QStringLiteral("--data-dir"));
            if (!dir.isEmpty())
                o.dataDir = QFileInfo(dir).absoluteFilePath();
            else if (o.error.isEmpty())
                o.error = QStringLiteral("--data-dir needs a folder");
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
    return QStringLiteral(
        "Usage: cardsuite [--card IMAGE | --device DEVICE] [--data-dir DIR]\n"
        "\n"
        "Manages the saves on a memory card through its USB adapter.\n"
        "Save files are kept in the folder 'saver' under ~/.local/share/cardsuite\n"
        "($XDG_DATA_HOME/cardsuite), or under DIR with --data-dir.\n"
        "\n"
        "  --card IMAGE     use the emulated adapter over the card image file\n"
        "                   IMAGE; a missing file becomes a blank 16 Mbit card\n"
        "                   once you agree\n"
        "  --device DEVICE  the adapter: usb:VVVV:PPPP, a device path, or\n"
        "                   image:PATH (default: MCBRIDGE_DEVICE, else " CARDSUITE_USB_DEVICE ")\n"
        "  --data-dir DIR   keep save files in DIR/saver\n"
        "  --help           this text\n"
        "  --version        the program's version\n");
}

QString versionText() { return QStringLiteral("cardsuite " CARDSUITE_VERSION "\n"); }

void applyDevice(const AppOptions& options)
{
    if (!options.device.isEmpty())
        qputenv("MCBRIDGE_DEVICE", options.device.toLocal8Bit());
    else if (qEnvironmentVariableIsEmpty("MCBRIDGE_DEVICE"))
        // Started from the desktop menu nobody names a device: the adapter
        // the program was configured for, the one the udev rule opens.
        qputenv("MCBRIDGE_DEVICE", CARDSUITE_USB_DEVICE);
}

QString defaultDataDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/cardsuite");
}

void applyDataDir(const AppOptions& options)
{
    setDataDir(options.dataDir.isEmpty() ? defaultDataDir() : options.dataDir);
    // The library keeps the journal of card changes beside the saves: under
    // --data-dir when given. A folder (or "off") set by the user stays.
    if (!qEnvironmentVariableIsSet("MCBRIDGE_JOURNAL"))
        qputenv("MCBRIDGE_JOURNAL", QFile::encodeName(dataDir() + QStringLiteral("/journal")));
}

void setDataDir(const QString& dir) { chosenDataDir() = dir; }

QString dataDir() { return chosenDataDir().isEmpty() ? QDir::currentPath() : chosenDataDir(); }

bool desktopAvailable()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    return false;
}
