// The walk of the catalogue upgrade: every record of a table, changed in place.
#pragma once

#include <functional>

class ppDatafile;

// Selects every record of the table and, in selection order, reads each pinned into the table's
// record buffer, lets `change` edit that buffer, writes it back at its selection index and releases
// it. Engine errors pass through, with the record being changed released.
void RewriteEveryRecord(ppDatafile& table, const std::function<void(char* record)>& change);
