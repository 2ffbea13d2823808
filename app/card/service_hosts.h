// The hosts of the forum's profile service and of its portrait pictures ("host" or
// "host:port"). Defaults: tieba.baidu.com and himg.bdimg.com.
#pragma once

namespace quorlin::app {

const char* ProfileHost();
const char* PortraitHost();

}  // namespace quorlin::app
