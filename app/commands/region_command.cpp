#include "commands/region_command.h"

#include "commands/command_host.h"
#include "commands/user_file.h"

#include "i18n/texts.h"

#include <QFile>

RegionCommand::RegionCommand(CommandHost& host, CardSession& session, QStringList files,
                             bool secondCard, QString folder, RegionDialog dialog)
    : CardCommand(host, session), fFiles(std::move(files)), fSecondCard(secondCard),
      fFolder(std::move(folder)), fDialog(std::move(dialog))
{
}

void RegionCommand::run()
{
    if (fFiles.size() != 1 || fSecondCard) {
        fHost.tell(Say_WARNING2);
        return;
    }
    fDialog(fFolder + QLatin1Char('/') + fFiles.constFirst());
}

RegionOutcome changeRegion(const QString& path, const QString& shown, std::optional<Region> region)
{
    QFile source(path);
    QByteArray contents;
    const bool read = source.open(QIODevice::ReadOnly);
    if (read)
        contents = source.readAll();
    if (!read || source.error() != QFileDevice::NoError || contents.size() < 4)
        return {false, QStringLiteral("The File, ") + shown +
                           QStringLiteral(" cannot be read or is too short to be a game save. "
                                          "Nothing was changed.")};
    // The one durable write: an error never leaves the user without the
    // file, and a file the user protected against writing is left alone.
    // Without its copy the file is not touched.
    if (!replaceUserFile(path + QStringLiteral(".BAK"), contents))
        return {false, QStringLiteral("The Backup ") + shown +
                           QStringLiteral(".BAK cannot be written. Nothing was changed.")};
    if (region)
        contents[3] = char(*region);
    const QString done = !region                 ? QString()
                         : region == Region::Pal ? QStringLiteral(" Was Converted to PAL System!")
                         : region == Region::Usa ? QStringLiteral(" Was Converted to USA System! ")
                                                 : QStringLiteral(" Was Converted to JAP System! ");
    if (!replaceUserFile(path, contents))
        return {true, QStringLiteral("The File, ") + shown +
                          QStringLiteral(" cannot be written. It is unchanged.")};
    if (!region)
        return {true, QString()};
    return {true, QStringLiteral("The File, ") + shown + done +
                      QStringLiteral("\r\n Backup of Original is ") + shown +
                      QStringLiteral(".BAK! ")};
}
