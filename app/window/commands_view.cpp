// How the lists show their saves: the order and the moving icons, from
// either list's context menu.
#include "window/commands_view.h"

#include "window/icon_animation.h"
#include "window/main_form.h"
#include "window/save_list_view.h"
#include "window/save_order.h"

#include "i18n/texts.h"

#include <QActionGroup>
#include <QMenu>

void addViewEntries(QMenu& menu, TSaveListView* list, const QList<TSaveListView*>& lists)
{
    auto* group = new QActionGroup(&menu);
    const SaveOrder current = saveOrderOf(list);
    const std::pair<const QString*, SaveOrder> orders[] = {
        {&say_menu_sort_listed, SaveOrder::Listed},
        {&say_menu_sort_name, SaveOrder::Name},
        {&say_menu_sort_game, SaveOrder::Game},
        {&say_menu_sort_date, SaveOrder::Date},
        {&say_menu_sort_size, SaveOrder::Size}};
    for (const auto& [text, order] : orders) {
        QAction* action = menu.addAction(*text, list, [list, order] { setSaveOrder(list, order); });
        action->setCheckable(true);
        action->setChecked(order == current);
        action->setData(int(order));
        group->addAction(action);
    }
    menu.addSeparator();
    QAction* animate = menu.addAction(say_menu_animate, list, [lists](bool on) {
        IconAnimator::setAnimateSetting(on);
        for (TSaveListView* l : lists)
            IconAnimator::of(l)->refresh();
    });
    animate->setCheckable(true);
    animate->setChecked(IconAnimator::animateSetting());
}
