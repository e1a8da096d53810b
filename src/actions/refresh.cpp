// The address refresh: two IPConfig.exe runs through the hidden runner, with the
// switches of the running Windows family, and a scan of the renewal's output.
#include "actions/refresh.h"
#include "actions/capture.h"
#include "actions/runner.h"
#include "base/tempfiles.h"
#include "base/text.h"
#include "report/osname.h"

bool IsNineXFamily(const char* osName)
{
    return ContainsText(osName, "Windows 95") || ContainsText(osName, "Windows 98") ||
           ContainsText(osName, "Windows ME");
}

RefreshSwitches SwitchesFor(bool nineXFamily)
{
    if (nineXFamily) return {"/release_all", "/renew_all >%temp%\\RunSilent.txt"};
    return {"/release", "/renew >%temp%\\RunSilent.txt"};
}

bool RefreshAddress(const char* searchText)
{
    char capturePath[PathBufferSize];
    if (!BuildTempFilePath(capturePath, CaptureFileName)) {
        // Nothing could be confirmed; an old confirmation must not pass for it.
        RemoveResultFile();
        return false;
    }

    char osName[OsNameSize];
    GetOsName(osName);
    RefreshSwitches switches = SwitchesFor(IsNineXFamily(osName));

    RunHiddenCommand("IPConfig.exe", switches.release);
    bool renewed = RunHiddenCommand("IPConfig.exe", switches.renew) == 0;
    bool found = searchText[0] != '\0' && CountPiecesContaining(capturePath, searchText) > 0;

    RemoveResultFile();
    if (!renewed) return false;
    WriteResultFile(found ? "refresh found" : "refresh", found ? searchText : nullptr);
    return true;
}
