// The OS name string from the version record Windows reports about itself. The table
// tests the platform first, then the major version, then the minor version.
#include "report/osname.h"
#include "base/text.h"

#include <cstdint>

namespace {

enum class Suffix { Full, Brace };

struct Product {
    const char* name;
    Suffix suffix;
};

Product ChooseProduct(const OSVERSIONINFOA& info)
{
    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        switch (info.dwMinorVersion) {
        case 0: return {"Windows 95", Suffix::Full};
        case 10: return {"Windows 98", Suffix::Full};
        case 90: return {"Windows ME", Suffix::Full};
        default: return {"Unknown", Suffix::Brace};
        }
    }
    if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        switch (info.dwMajorVersion) {
        case 3: return {"Windows NT 3.51", Suffix::Full};
        case 4: return {"Windows NT 4.0", Suffix::Full};
        case 5:
            if (info.dwMinorVersion == 0) return {"Windows 2000", Suffix::Full};
            if (info.dwMinorVersion == 1) return {"Windows XP", Suffix::Full};
            return {"Unknown", Suffix::Full};
        default: return {"Unknown", Suffix::Brace};
        }
    }
    return {"Unknown", Suffix::Full};
}

// "{%d.%02d %d %s" with every number taken as a signed 32-bit value; the suffix buffer
// cuts the service-pack text so that the suffix keeps 39 characters at most.
void FormatFullSuffix(const OSVERSIONINFOA& info, char (&suffix)[OsSuffixSize])
{
    CopyText(suffix, "{");
    AppendDecimal(suffix, static_cast<int32_t>(info.dwMajorVersion));
    AppendText(suffix, ".");
    AppendDecimal(suffix, static_cast<int32_t>(info.dwMinorVersion), 2);
    AppendText(suffix, " ");
    AppendDecimal(suffix, static_cast<int32_t>(info.dwBuildNumber));
    AppendText(suffix, " ");
    // Reads at most what still fits, so a text stored without its NUL is never overrun.
    AppendText(suffix, info.szCSDVersion);
}

}  // namespace

void FormatOsName(const OSVERSIONINFOA& info, char* name, size_t size)
{
    char suffix[OsSuffixSize];
    FormatFullSuffix(info, suffix);
    Product product = ChooseProduct(info);
    CopyText(name, size, product.name);
    AppendText(name, size, product.suffix == Suffix::Full ? suffix : "{");
}

void GetOsName(char* name, size_t size)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);  // 148
    GetVersionExA(&info);
    FormatOsName(info, name, size);
}
