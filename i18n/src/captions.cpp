#include "i18n/captions.h"

#include "i18n/text_set.h"

namespace i18n {

std::array<ButtonCaption, cButtonCount> captionsFor(Language language)
{
    const TextSet& t = textsFor(language);
    return {{
#define I18N_TEXT(...)
#define I18N_CAPTION(button, ...) {u"" #button, t.button},
#include "i18n/text_list.h"
    }};
}

QString captionFor(Language language, QStringView button)
{
    for (const ButtonCaption& entry : captionsFor(language)) {
        if (entry.button == button)
            return entry.caption.toString();
    }
    return {};
}

} // namespace i18n
