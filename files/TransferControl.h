#pragma once

#include <QtGlobal>

#include <functional>

// Bounds and watches one network exchange that runs on the calling thread.
struct TransferControl
{
    // Seconds the whole exchange may take, connecting included; 0 leaves only the
    // client's own connect and stall limits.
    int timeLimitSeconds = 0;
    // Told now and then of the bytes moved so far and the total when known (0
    // otherwise). Returning false stops the exchange as cancelled.
    std::function<bool(qint64 done, qint64 total)> progress;
};
