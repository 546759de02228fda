#include "i18n/captions.h"

#include "i18n/text_set.h"

namespace i18n {

std::array<ButtonCaption, 10> captionsFor(Language language)
{
    const TextSet& t = textsFor(language);
    return {{
        {u"UpDateBtn", t.UpDateBtn},
        {u"ReadCardBtn", t.ReadCardBtn},
        {u"WriteCardBtn", t.WriteCardBtn},
        {u"DeleteBtn", t.DeleteBtn},
        {u"DownLoadBtn", t.DownLoadBtn},
        {u"UpLoadBtn", t.UpLoadBtn},
        {u"EditBtn", t.EditBtn},
        {u"EmailBtn", t.EmailBtn},
        {u"ExitBtn", t.ExitBtn},
        {u"changebtn", t.changebtn},
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
