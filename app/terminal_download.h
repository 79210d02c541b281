#pragma once

struct DownloadRequest;

// `serimo --download`: the run fetched by the window's own engine, through the
// same download controller as the window (its progress and summary), without a
// window. While stderr is a terminal one progress line there is rewritten in
// place; the summary goes to standard output. SIGINT, SIGTERM and SIGHUP stop the run
// as Stop download does, leaving no partial file behind. Returns the exit status:
// 0 when every file present was saved, 1 when any failed or no file of the
// run was found (a folder made for the run is then removed again), 2 on bad
// input, 128 and the signal's number when stopped by one.
int downloadOnTerminal(const DownloadRequest &request);
