#include "app/settings/options_check.h"

#include "app/settings/settings_store.h"
#include "app/texts.h"
#include "engine/dedup/line_filter.h"
#include "engine/text/text_encoding.h"

namespace quillow {

std::string storedOptionsProblem(const Options& options)
{
    if (!options.filterPattern.empty())
        if (const std::string why = filterPatternError(options.filterPattern); !why.empty())
            return text::badStoredSetting(settingsFileName(), "sRegExp", why);
    if (!isAutoEncoding(options.textEncoding))
        if (EncodingLookup named = encodingNamed(options.textEncoding); !named.encoding)
            return text::badStoredSetting(settingsFileName(), "textEncoding", text::encodingRefusal(named.refusal));
    return {};
}

}  // namespace quillow
