"""DLLs planted beside the installer are never loaded: the program started
from a folder holding a marker DLL under the name of every system DLL it
uses (and msftedit50.dll), with Wine told to prefer such files to its own,
opens the customize bar (which brings up the rich edit) and leaves; no
marker DLL ran.  The same check of an image that imports those DLLs the
ordinary way finds them loaded (PW_PLANTED_EXE=old.exe shows it)."""

import os
import shutil
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "installer"))

from installer_support import Installer, check, clean_state  # noqa: E402
from pwharness import Wine  # noqa: E402

# Not version.dll: Wine's own user32 imports it, so under Wine it is loaded
# (from the program's folder, when told to prefer native files) before any
# of the program's code runs; Windows' user32 is a KnownDLL whose imports come
# from the system folder. The image check covers the program's own import of it.
PLANTED = ["msftedit50.dll", "msftedit.dll", "riched20.dll", "gdiplus.dll",
           "winmm.dll", "msimg32.dll", "comctl32.dll", "urlmon.dll", "wininet.dll", "bcrypt.dll",
           "uxtheme.dll", "dwmapi.dll", "cryptbase.dll"]


def main():
    wine = Wine()
    clean_state(wine)
    exe = os.environ.get("PW_PLANTED_EXE") or wine.exe()
    folder = wine.drive_c("users", "Public", "Downloads", "planted")
    markers = wine.drive_c("planted-markers")
    for path in (folder, markers):
        shutil.rmtree(path, ignore_errors=True)
        os.makedirs(path)
    shutil.copy(exe, os.path.join(folder, "PageWrightOnlineSetup.exe"))
    marker_dll = os.path.join(wine.build, "tests", "app_image", "planted_marker.dll")
    for name in PLANTED:
        shutil.copy(marker_dll, os.path.join(folder, name))

    # Native first: where the program's folder is searched, the planted file wins.
    names = ",".join(os.path.splitext(n)[0] for n in PLANTED)
    overrides = "mscoree,mshtml=;%s=n,b" % names
    app = Installer(wine, exe=os.path.join(folder, "PageWrightOnlineSetup.exe"),
                    extra_env={"WINEDLLOVERRIDES": overrides})
    try:
        app.click("btn_customize")
        time.sleep(2)
        app.shot("planted_customize")
        app.wine.key("alt+F4", win=app.win)
        code = app.wait_exit(20)
        check(code == 0, "exit code %s" % code)
    finally:
        if app.proc.running():
            app.kill()
    loaded = sorted(os.listdir(markers))
    check(not loaded, "planted DLLs ran in the installer: %s" % ", ".join(loaded))

    print("no planted DLL loaded (%d planted)" % len(PLANTED))
    return 0


if __name__ == "__main__":
    sys.exit(main())
