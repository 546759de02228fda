#pragma once

// The program's command line, and the folder it keeps the user's save files
// in.

#include <QString>
#include <QStringList>

struct AppOptions {
    QString device;  // a device string for the library, or empty
    QString dataDir; // --data-dir: the folder whose 'saver' holds the save files
    bool help = false;
    bool version = false;
    QString error; // what was wrong with the command line
};

AppOptions parseOptions(const QStringList& arguments);
QString usageText();
QString versionText();

// Makes the chosen device the library's (MCBRIDGE_DEVICE); with none chosen
// and none in the environment, the USB adapter the program was built for.
void applyDevice(const AppOptions& options);

// The folder the program keeps its 'saver' folder in: --data-dir when given,
// else 'cardsuite' in the user's data folder ($XDG_DATA_HOME, by default
// ~/.local/share), where a program started from the desktop menu belongs.
QString defaultDataDir();
void applyDataDir(const AppOptions& options);
// The folder chosen at start; the current folder when none was chosen (the
// windows running without main(), or setDataDir with an empty folder).
QString dataDir();
void setDataDir(const QString& dir);

// True when a window can be shown: a display to connect to, or a platform the
// user named on purpose (QT_QPA_PLATFORM=offscreen).
bool desktopAvailable();
