#include "gclink.h"

namespace GCLINK {

int Max_block = 0;
int nmem = 0;
QString Size;

bool applyCardSize(int megabits)
{
    switch (megabits) {
    case 0: return false;
    case 4:
        Max_block = Max_BlockonCard4;
        nmem = 1024;
        Size = QStringLiteral("(4M)");
        break;
    case 8:
        Max_block = Max_BlockonCard8;
        nmem = 2048;
        Size = QStringLiteral("(8M)");
        break;
    case 16:
        Max_block = Max_BlockonCard16;
        nmem = 4096;
        Size = QStringLiteral("(16M)");
        break;
    case 32:
        Max_block = Max_BlockonCard32;
        nmem = 8192;
        Size = QStringLiteral("(32M)");
        break;
    case 128:
        Max_block = Max_BlockonCard128;
        nmem = 32768;
        Size = QStringLiteral("(128M)");
        break;
    default:
        Max_block = Max_BlockonCard64;
        nmem = 16384;
        Size = QStringLiteral("(64M)");
        break;
    }
    return true;
}

bool InitConnectCard(mcb_receiver* window)
{
    if (IsConnected())
        CloseDevice();
    const int n = OpenDevice(window) ? GetCardMemory() : 0;
    CloseDevice();
    return applyCardSize(n);
}

} // namespace GCLINK
