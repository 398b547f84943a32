#pragma once

// How a row's cells are marked beside their texts; each front end gives a mark its look.
enum class RowTone {
    None,
    UnknownWhenAdded, // the probe refused the file when it was added
    Complete,         // its last conversion succeeded
    Failed,           // its last conversion failed or was cancelled
};
