// The browser's own texts beside the numbered ones.

#include "resources/BrowserStrings.h"
#include "resources/Editions.h"

namespace res {
namespace {

const ce::StringResource kBrowserStrings[] = {
    {IDS_HELP_NOT_SHOWN,
     u"Couldn't start a browser to show the help file \"%s\". Open it in a browser of your "
     u"choice."},
    {IDS_AVAILABLE_MEMORY_MB, u"Available Memory: %ldMB"},
    {IDS_FREE_MEMORY_MB, u"Free Memory: %ldMB"},
};

}  // namespace

void AddBrowserStrings(ce::ResourceModule& module) {
    module.AddStrings(kBrowserStrings);
}

}  // namespace res
