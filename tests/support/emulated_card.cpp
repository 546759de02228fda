#include "emulated_card.h"

#include "adapter.h"

namespace mcbtest {

bool WornMedium::writeAt(uint64_t offset, const uint8_t* data, std::size_t length)
{
    if (!MemoryMedium::writeAt(offset, data, length))
        return false;
    for (uint64_t at : stuckAtZero)
        if (at >= offset && at - offset < length)
            bytes()[at] = 0;
    return true;
}

EmulatedCard::EmulatedCard(unsigned megabits, mcb::Encoding encoding)
    : EmulatedCard(mcb::formatCard([&] {
          mcb::FormatOptions o;
          o.megabits = megabits;
          o.encoding = encoding;
          return o;
      }()))
{
}

EmulatedCard::EmulatedCard(std::vector<uint8_t> image)
    : medium_(std::make_shared<WornMedium>(std::move(image))),
      traffic_(std::make_shared<mcb::Traffic>())
{
    traffic_->keepPackets = true;
    install();
}

EmulatedCard::~EmulatedCard()
{
    CloseDevice();
    mcb::setAdapterFinder({});
}

void EmulatedCard::resetTraffic(bool keepPackets)
{
    *traffic_ = mcb::Traffic{};
    traffic_->keepPackets = keepPackets;
}

void EmulatedCard::install()
{
    mcb::setAdapterFinder([this]() {
        mcb::OpenResult r;
        if (!plugged) {
            r.error = MCB_ERROR_NOT_FOUND;
            return r;
        }
        auto a = std::make_unique<mcb::EmulatedAdapter>(medium_, traffic_, faults);
        adapter_ = a.get();
        r.adapter = std::move(a);
        return r;
    });
}

std::vector<uint8_t>& NamedCards::Card::image()
{
    return std::dynamic_pointer_cast<mcb::MemoryMedium>(medium)->bytes();
}

NamedCards::NamedCards()
{
    mcb::setDeviceHook([this](std::string_view device) -> std::optional<mcb::OpenResult> {
        const auto found = cards_.find(std::string(device));
        if (found == cards_.end())
            return std::nullopt;
        Card& c = found->second;
        mcb::OpenResult r;
        if (!c.plugged)
            r.error = MCB_ERROR_NOT_FOUND;
        else
            r.adapter = std::make_unique<mcb::EmulatedAdapter>(c.medium, c.traffic, c.faults);
        return r;
    });
}

NamedCards::~NamedCards() { mcb::setDeviceHook({}); }

NamedCards::Card& NamedCards::add(const std::string& device, std::vector<uint8_t> image)
{
    return add(device, std::make_shared<WornMedium>(std::move(image)));
}

NamedCards::Card& NamedCards::add(const std::string& device,
                                  std::shared_ptr<mcb::CardMedium> medium)
{
    Card& c = cards_[device];
    c.medium = std::move(medium);
    return c;
}

namespace {
void record(void* context, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    auto* log = static_cast<ProgressLog*>(context);
    if (message != WM_CARD_PROGRESS)
        return;
    log->wparams.push_back(wParam);
    log->lparams.push_back(lParam);
}
} // namespace

ProgressLog::ProgressLog()
{
    receiver.send = record;
    receiver.context = this;
}

void ProgressLog::clear()
{
    wparams.clear();
    lparams.clear();
}

std::size_t ProgressLog::steps() const
{
    std::size_t n = 0;
    for (auto w : wparams)
        n += w == 0;
    return n;
}

std::vector<uintptr_t> ProgressLog::counts() const
{
    std::vector<uintptr_t> c;
    for (auto w : wparams)
        if (w != 0)
            c.push_back(w);
    return c;
}

bool connect(mcb_receiver* receiver)
{
    if (IsConnected())
        CloseDevice();
    return OpenDevice(receiver) && GetCardMemory() != 0;
}

} // namespace mcbtest
