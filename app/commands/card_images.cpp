#include "commands/card_images.h"

#include "i18n/texts.h"

skin::FileDialogSpec imageDialog(const QString& folder, const QString& suffix,
                                 const QString& fileName)
{
    return {QString(), folder, fileName,
            QStringLiteral("GC saver format (*.GCP *.gcp);;") + say_rawimagefilter, suffix};
}
