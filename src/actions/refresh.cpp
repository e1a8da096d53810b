// The address refresh: two IPConfig.exe runs through the hidden runner, with the
// switches of the running Windows family, and a scan of the renewal's output.
#include "actions/refresh.h"
#include "actions/capture.h"
#include "actions/runner.h"
#include "base/text.h"
#include "report/osname.h"

bool IsNineXFamily(const char* osName)
{
    return ContainsText(osName, "Windows 95") || ContainsText(osName, "Windows 98") ||
           ContainsText(osName, "Windows ME");
}

RefreshSwitches SwitchesFor(bool nineXFamily)
{
    if (nineXFamily) return {"/release_all", "/renew_all"};
    return {"/release", "/renew"};
}

bool BuildRenewArguments(char (&arguments)[RenewArgumentSize], const char* renewSwitch,
                         const char* capturePath)
{
    bool built = CopyText(arguments, renewSwitch) && AppendText(arguments, " >") &&
                 AppendCapturePath(arguments, capturePath);
    if (!built) arguments[0] = '\0';
    return built;
}

// Releases and renews; answers whether the renewal ran and exited with 0.
static bool ReleaseAndRenew(const char* capturePath)
{
    char osName[OsNameSize];
    GetOsName(osName);
    RefreshSwitches switches = SwitchesFor(IsNineXFamily(osName));
    char renewArguments[RenewArgumentSize];
    if (!BuildRenewArguments(renewArguments, switches.renew, capturePath) ||
        !ClearCapture(capturePath))
        return false;
    RunHiddenCommand("IPConfig.exe", switches.release);
    return RunHiddenCommand("IPConfig.exe", renewArguments) == 0;
}

bool RefreshAddress(const char* searchText)
{
    char capturePath[PathBufferSize];
    if (!BuildTempFilePath(capturePath, CaptureFileName)) {
        // Nothing could be confirmed; an old confirmation must not pass for it.
        RemoveResultFile();
        return false;
    }

    bool renewed = ReleaseAndRenew(capturePath);
    bool found = renewed && searchText[0] != '\0' && CountPiecesContaining(capturePath, searchText) > 0;

    RemoveResultFile();
    if (!renewed) return false;
    // A confirmation that cannot be stored whole leaves no result file and is no success.
    return WriteResultFile(found ? "refresh found" : "refresh", found ? searchText : nullptr);
}
