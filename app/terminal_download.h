#pragma once

struct DownloadRequest;

// `serimo --download`: the run fetched by the window's own engine, through the
// same download controller as the window (its progress and summary), without a
// window. While stderr is a terminal one progress line there is rewritten in
// place; the summary goes to standard output. SIGINT, SIGTERM and SIGHUP stop
// the run as Stop download does, leaving no partial file behind. Without COUNT
// the run is the whole series: its end is found first, as --find-end finds it.
// Returns the exit status: 0 when every file present was saved, 1 when any
// failed or no file of the run was found (a folder made for the run is then
// removed again; without COUNT also when nothing is at the first address or
// the server failed while its end was found), 2 on bad input, 128 and the
// signal's number when stopped by one.
int downloadOnTerminal(const DownloadRequest &request);
