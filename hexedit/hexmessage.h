// A window message posted to the control itself and handled when the event
// queue reaches it.
#pragma once

#include <QEvent>

class THexMessage : public QEvent {
public:
    THexMessage(int aMsg, int aWParam, int aLParam)
        : QEvent(EventType()), Msg(aMsg), WParam(aWParam), LParam(aLParam)
    {
    }
    static QEvent::Type EventType()
    {
        static const auto type = QEvent::Type(QEvent::registerEventType());
        return type;
    }
    const int Msg;
    const int WParam;
    const int LParam;
};
