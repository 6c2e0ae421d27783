#pragma once
// What a kill while writing may have left in the program directory, put
// right at start (the window's start-up and every ledctl command that reads
// ledfile.ini or a store), under the program-directory lock: a change of
// several files finished or dropped as a set (FileSet), temporaries removed,
// and text files beyond TSUM removed.
//
// A text file beyond TSUM is the copy of the last text a deletion leaves
// behind, or an addition killed before its TSUM was written. Nothing shows
// it and the next addition overwrites it; raising TSUM instead would show a
// deleted text again. So the count wins, as the operator last saw it.
namespace StoreRepair {
struct Found {
    int finished = 0; // files put in place from a change that had begun them
    int removed = 0;  // unfinished new files and temporaries
    int orphans = 0;  // text files beyond TSUM
};
// Never throws: a directory that cannot be locked or changed (read-only)
// keeps what it holds, and the program starts all the same.
Found run();
} // namespace StoreRepair
