"""Reads plonta.exe's resources back: the first icon group holds every size, the version block
names the product and its version, the manifest parses and says what Windows must know.
Usage: check_resources.py PLONTA_EXE VERSION"""
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

exe, version = sys.argv[1:3]


def run(*command, text=False):
    return subprocess.run(command, check=True, capture_output=True, text=text).stdout


groups = run("wrestool", "-l", "--type=14", exe, text=True)
assert groups.startswith("--type=14 --name=1 "), f"the first icon group is not 1: {groups}"
with tempfile.TemporaryDirectory() as folder:
    run("wrestool", "-x", "--type=14", "--name=1", f"--output={folder}/plonta.ico", exe)
    icon = run("icotool", "-l", f"{folder}/plonta.ico", text=True)
sizes = [int(w) for w in re.findall(r"--width=(\d+) --height=\1 --bit-depth=32", icon)]
assert sizes == [16, 24, 32, 48, 64, 128, 256], f"icon sizes: {icon}"

# Each string is its key, padding to a 4-byte boundary, then its value.
block = run("wrestool", "-x", "--raw", "--type=16", exe).decode("utf-16-le", "replace")
for key, value in (("ProductName", "Plonta\0"), ("FileDescription", "Plonta\0"),
                   ("FileVersion", version + "\0"), ("ProductVersion", version + "\0"),
                   ("OriginalFilename", "plonta.exe\0"), ("LegalCopyright", "Copyright ")):
    assert re.search(key + "\0+" + re.escape(value), block), f"{key} is not {value!r}: {block!r}"

manifest = ElementTree.fromstring(run("wrestool", "-x", "--raw", "--type=24", "--name=1", exe))
said = {e.tag.split("}")[-1]: e for e in manifest.iter()}
systems = {e.get("Id") for e in manifest.iter() if e.tag.endswith("supportedOS")}
assert said["dpiAwareness"].text == "PerMonitorV2, PerMonitor"
assert said["dpiAware"].text == "true/pm"
assert said["requestedExecutionLevel"].get("level") == "asInvoker"
assert {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"} <= systems
print(f"{exe}: icon {sizes}, version {version}, manifest sound")
