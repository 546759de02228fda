#pragma once

// The program's command line.

#include <QString>
#include <QStringList>

struct AppOptions {
    QString device; // a device string for the library, or empty
    bool help = false;
    QString error; // what was wrong with the command line
};

AppOptions parseOptions(const QStringList& arguments);
QString usageText();

// Makes the chosen device the library's (MCBRIDGE_DEVICE).
void applyDevice(const AppOptions& options);
