// Steps both disk engines share.
#pragma once

#include "fdc/floppy_driver.h"
#include "fdc/operation.h"

namespace velloran {

// Start of every operation: track label 0, main log cleared, controller
// reset, heads to cylinder 80, "Начало операции!". A failure is shown in a
// message box and returns false.
bool BeginOperation(FloppyDriver& driver, OperationHost& host);

// Seeks to the cylinder and head of a track index; a failure is shown in a
// message box and returns false.
bool SeekTrack(FloppyDriver& driver, OperationHost& host, int track);

// The cancel check: when "Отмена" was pressed, logs the cancellation and
// returns true.
bool CancelSeen(OperationHost& host);

// The closing line of a finished operation.
void LogCompleted(OperationHost& host);

}  // namespace velloran
