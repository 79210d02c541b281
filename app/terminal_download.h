#pragma once

struct DownloadRequest;

// `serimo --download`: the run fetched by the window's own engine, through the
// same download controller as the window (its progress and summary), without a
// window. While stderr is a terminal one progress line there is rewritten in
// place; the summary goes to standard output. SIGINT and SIGTERM stop the run
// as Stop download does, leaving no ".part" behind. Returns the exit status:
// 0 when every file present was saved, 1 when any failed, 2 on bad input,
// 128 and the signal's number when stopped by one.
int downloadOnTerminal(const DownloadRequest &request);
