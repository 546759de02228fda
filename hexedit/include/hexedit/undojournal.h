// The undo journal: records of the edits, each followed by a trailer that
// holds the record's length plus four, so the journal is walked backwards
// from its end.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <memory>

class QTemporaryFile;

// The fields of one record. Stored packed and little-endian at the offsets
// below, followed by its saved bytes (at least one).
struct TUndoRec {
    uint8_t Typ = 0;
    bool Changed = false;
    bool Modified = false;
    int32_t CurPos = 0;
    uint8_t C1st = 0;
    bool CharField = false;
    int32_t SelS = 0;
    int32_t SelE = 0;
    int32_t SelP = 0;
    int32_t Pos = 0;
    int32_t Count = 0;
    int32_t ReplCount = 0;
    uint8_t Buffer0 = 0; // the first saved byte
};

namespace UndoOffset {
constexpr int Typ = 0;
constexpr int Changed = 1;
constexpr int Modified = 2;
constexpr int CurPos = 3;
constexpr int C1st = 7;
constexpr int CharField = 8;
constexpr int SelS = 9;
constexpr int SelE = 13;
constexpr int SelP = 17;
constexpr int Pos = 21;
constexpr int Count = 25;
constexpr int ReplCount = 29;
constexpr int Buffer = 33;
} // namespace UndoOffset

// A record's fields plus its first saved byte: what is read back to undo it.
constexpr int cUndoHeadSize = UndoOffset::Buffer + 1;
constexpr int cUndoTrailerSize = 4;

// The fields, without the saved bytes.
void EncodeUndoFields(const TUndoRec& aRec, uint8_t aOut[UndoOffset::Buffer]);
TUndoRec DecodeUndoHead(const uint8_t aIn[cUndoHeadSize]);
void PutInt32LE(uint8_t* aOut, int32_t aValue);
int32_t GetInt32LE(const uint8_t* aIn);

// The bytes of the journal. Small journals stay in memory; one that grows
// past cMemoryLimit (a large deletion saves every removed byte) moves to an
// unnamed temporary file, so the control's memory stays bounded.
class TUndoJournal {
public:
    static constexpr int64_t cMemoryLimit = 1 << 20;

    TUndoJournal();
    ~TUndoJournal();
    TUndoJournal(const TUndoJournal&) = delete;
    TUndoJournal& operator=(const TUndoJournal&) = delete;

    int64_t Size() const;
    bool Append(const void* aData, int64_t aSize);
    bool ReadAt(int64_t aPos, void* aData, int64_t aSize) const;
    void Truncate(int64_t aSize);
    // Removes the first aCount bytes.
    bool DropFront(int64_t aCount);
    bool InFile() const { return fFile != nullptr; }

private:
    int64_t Stored() const;
    bool Compact();
    bool Spill(int64_t aNeeded);

    QByteArray fMem;
    // Where the journal begins in what is stored.
    int64_t fStart = 0;
    std::unique_ptr<QTemporaryFile> fFile;
};
