#include "report/usage_text.h"

#include <algorithm>

#include "report/report_switches.h"
#include "report/version.h"

namespace zemtra {

InfoRequest infoRequest(std::string_view argument) noexcept {
    if (argument == "-h" || argument == "-help" || argument == "--help" || argument == "-?") {
        return InfoRequest::help;
    }
    if (argument == "--version" || argument == "-version") {
        return InfoRequest::version;
    }
    return InfoRequest::none;
}

std::string usageText() {
    std::string text = "Zemtra <drive>";
    for (const ReportSwitch& entry : reportSwitches()) {
        text.append(" [").append(entry.text).append("]");
    }
    return text.append("\r\n");
}

std::string helpText() {
    size_t width = 0;
    for (const ReportSwitch& entry : reportSwitches()) {
        width = std::max(width, entry.text.size());
    }
    std::string text = usageText();
    for (const ReportSwitch& entry : reportSwitches()) {
        text.append("  ").append(entry.text).append(width - entry.text.size() + 2, ' ');
        text.append(entry.summary).append("\r\n");
    }
    return text;
}

std::string versionText() {
    return std::string("zemtra ").append(kZemtraVersion).append("\r\n");
}

}  // namespace zemtra
