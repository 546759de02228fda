// Moving and copying runs of bytes between and within open files in bounded
// chunks, so that no run is ever held in memory as a whole.
#pragma once

#include <QIODevice>
#include <QString>

#include <cstdint>

constexpr int64_t cMoveChunk = 1 << 20;

// Moves aCount bytes inside aFile from aFrom to aTo; the ranges may overlap.
bool MoveFileBytes(QIODevice& aFile, int64_t aFrom, int64_t aTo, int64_t aCount);

// Copies everything aSource holds from its current position to aTarget's.
bool CopyDeviceBytes(QIODevice& aSource, QIODevice& aTarget);

// Writes everything aSource holds to aTarget through a temporary file beside
// it that is renamed into place, so that a failure part-way leaves aTarget
// as it was.
bool ReplaceFileWith(QIODevice& aSource, const QString& aTarget);
