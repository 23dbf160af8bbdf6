// SPDX-License-Identifier: MIT
#pragma once
// The program holds the account and proxy passwords in memory; a core dump would put them on
// disk, readable in more than one encoding.

// Turns core dumps of this process off (no dump file, also through a core-dump handler, and no
// attaching by other processes of the same user) before anything secret is read. False when the
// system refused.
bool DisableCoreDumps();
