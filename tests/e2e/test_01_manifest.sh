#!/usr/bin/env bash
# cuewire.exe carries its application manifest as resource 1 of type
# RT_MANIFEST, read back from the built program, and the system acts on it:
# Wine loads the common controls from the version 6 assembly in winsxs, not
# from system32. The display-scale awareness the panel reports is logged.
source "$(dirname "$0")/lib.sh"

exe=$BUILD_DIR/app/win/cuewire.exe
probe=$BUILD_DIR/tests/win/desktop-probe/desktop-probe.exe
finder=$BUILD_DIR/tests/win/win-probe/win-probe.exe
stand_in=$BUILD_DIR/tests/win/recording-runtime/Processing.NDI.Lib.x64.dll
for f in "$exe" "$probe" "$finder" "$stand_in"; do [ -f "$f" ] || fail "not built: $f"; done

note "the manifest resource, read from the program's file"
manifest=$E2E_TEST_OUT/manifest.txt
run_win 60 "$probe" manifest "$(win_path "$exe")" >"$manifest" || fail "no RT_MANIFEST resource 1 in $exe"
cat "$manifest"
python3 - "$manifest" <<'PY' || fail "the manifest lacks what it must say"
import sys
import xml.etree.ElementTree as ET

lines = open(sys.argv[1], encoding="utf-8").read().split("\n", 1)
problems = []
def need(ok, what):
    if not ok:
        problems.append(what)

need(lines[0] == "ids=1", f"one manifest, numbered 1 (got {lines[0]!r})")
root = ET.fromstring(lines[1].encode("utf-8"))
ASM1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"
need(root.tag == ASM1 + "assembly" and root.get("manifestVersion") == "1.0", "an asm.v1 assembly, version 1.0")

controls = [a.attrib for a in root.findall(f"{ASM1}dependency/{ASM1}dependentAssembly/{ASM1}assemblyIdentity")]
need({"type": "win32", "name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
      "processorArchitecture": "*", "publicKeyToken": "6595b64144ccf1df", "language": "*"} in controls,
     "a dependency on the common controls 6.0")

systems = {s.get("Id").lower() for s in root.findall(f"{COMPAT}compatibility/{COMPAT}application/{COMPAT}supportedOS")}
need(systems == {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # Windows 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # Windows 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # Windows 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # Windows 10 and 11
}, f"supportedOS for Windows 7, 8, 8.1 and 10/11 (got {sorted(systems)})")

levels = [e.attrib for e in root.iter(ASM3 + "requestedExecutionLevel")]
need(levels == [{"level": "asInvoker", "uiAccess": "false"}], f"asInvoker, once (got {levels})")

settings = root.find(f"{ASM3}application/{ASM3}windowsSettings")
need(settings is not None, "windowsSettings")
if settings is not None:
    aware = settings.find("{http://schemas.microsoft.com/SMI/2005/WindowsSettings}dpiAware")
    awareness = settings.find("{http://schemas.microsoft.com/SMI/2016/WindowsSettings}dpiAwareness")
    need(aware is not None and aware.text.strip().lower() == "true/pm", "dpiAware true/pm, the older systems' fallback")
    first = awareness.text.split(",")[0].strip() if awareness is not None else None
    need(first == "PerMonitorV2", f"dpiAwareness PerMonitorV2 first (got {first!r})")

for p in problems:
    print("manifest:", p)
sys.exit(1 if problems else 0)
PY

note "the program under Wine, with Wine's log of the libraries it loads"
dir=$E2E_TEST_OUT/run
mkdir -p "$dir"
cp "$exe" "$stand_in" "$dir/" || fail "cannot stage the program"
WINEDEBUG=+loaddll start_win_bg "$E2E_TEST_OUT/cuewire.log" "$dir/cuewire.exe"
panel_up() { run_win 20 "$finder" find "NDI Cuewire" >"$E2E_TEST_OUT/panel.hwnd" ||
             run_win 20 "$finder" find "Bryvo Cuewire" >"$E2E_TEST_OUT/panel.hwnd"; }
wait_for 60 panel_up || fail "the panel did not open"
loaded=$(grep -i 'comctl32\.dll' "$E2E_TEST_OUT/cuewire.log.err" | grep -i 'Loaded' | head -n 1)
note "comctl32: $loaded"
grep -Eiq 'Loaded L"C:\\\\windows\\\\winsxs\\\\amd64_microsoft\.windows\.common-controls_6595b64144ccf1df_6\.0\.[^"]*\\\\comctl32\.dll"' <<<"$loaded" ||
    fail "comctl32 did not come from the common controls 6 assembly: $loaded"
note "awareness the panel reports: $(run_win 20 "$probe" awareness "$(cat "$E2E_TEST_OUT/panel.hwnd")")"
