// SPDX-License-Identifier: GPL-3.0-or-later
#include "live/httpliveserver.h"

// What the program looks up when the view is turned on.
extern "C" Q_DECL_EXPORT chronivel::LiveServer* chronivel_make_live_server(chronivel::LiveServer::Feed feed)
{
    return new chronivel::HttpLiveServer(std::move(feed));
}
