#pragma once

// Every command gate of a card session closed for a scope, and put back as
// it was however the scope ends: work that is not a command of its own (a
// relisting) keeps the commands out while the window answers meanwhile.

#include "cards/card_session.h"

#include <array>
#include <cstddef>

class GatesClosed {
public:
    explicit GatesClosed(CardSession& s)
        : fGates{&s.b0, &s.b1, &s.b2, &s.b3, &s.b4, &s.b5, &s.b6, &s.b7, &s.b8}
    {
        for (std::size_t i = 0; i < fGates.size(); ++i) {
            fBefore[i] = *fGates[i];
            *fGates[i] = false;
        }
    }
    ~GatesClosed()
    {
        for (std::size_t i = 0; i < fGates.size(); ++i)
            *fGates[i] = fBefore[i];
    }
    GatesClosed(const GatesClosed&) = delete;
    GatesClosed& operator=(const GatesClosed&) = delete;

private:
    std::array<bool*, 9> fGates;
    std::array<bool, 9> fBefore{};
};
