#include "cards/card_session.h"

bool CardSession::enterGate(bool& gate)
{
    if (!gate)
        return false;
    bool* const gates[] = {&b0, &b1, &b2, &b3, &b4, &b5, &b6, &b7, &b8};
    constexpr Command commands[] = {Command::List,   Command::Backup, Command::Restore,
                                    Command::ToFile, Command::ToCard, Command::Delete,
                                    Command::Edit,   Command::Mail,   Command::Region};
    for (int i = 0; i < 9; ++i) {
        if (gates[i] == &gate)
            fRunning = commands[i];
        *gates[i] = false;
    }
    gate = true;
    return true;
}

void CardSession::openGates()
{
    b0 = b1 = b2 = b3 = b4 = b5 = b6 = b7 = b8 = true;
    fRunning = Command::None;
}

int CardSession::open(const QString& device, mcb_receiver* receiver)
{
    fDevice = device;
    fReceiver = receiver;
    return link.open(device, receiver);
}

bool CardSession::reopen() { return link.open(fDevice, fReceiver) == MCB_OK; }
