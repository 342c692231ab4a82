#include "platform/ThreadName.h"

#include <pthread.h>

#include <cstring>
#include <string>

namespace zelkor {

void NameCurrentThread(const char* name) {
    std::string shortName(name, strnlen(name, 15));
    (void)pthread_setname_np(pthread_self(), shortName.c_str());
}

} // namespace zelkor
