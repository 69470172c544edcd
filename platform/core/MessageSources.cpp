#include "platform/core/MessageSources.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace ce {
namespace {

struct Sources {
    std::mutex mutex;
    std::vector<MessageSource> list;
};

Sources& Registered() {
    static Sources* sources = new Sources;  // lives until exit, outlives statics
    return *sources;
}

}  // namespace

void AddMessageSource(MessageSource source) {
    Sources& sources = Registered();
    std::lock_guard lock(sources.mutex);
    if (std::find(sources.list.begin(), sources.list.end(), source) == sources.list.end())
        sources.list.push_back(source);
}

void PollMessageSources(PostToWindow post) {
    Sources& sources = Registered();
    // Sources are only ever added, so an index stays good. Each runs outside
    // the lock: it may take locks of its own and add sources under them.
    for (std::size_t i = 0;; ++i) {
        MessageSource source = nullptr;
        {
            std::lock_guard lock(sources.mutex);
            if (i >= sources.list.size())
                return;
            source = sources.list[i];
        }
        source(post);
    }
}

}  // namespace ce
