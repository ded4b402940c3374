#!/usr/bin/env python3
"""Checks of the Debian package that `make package` builds.

BuildsThePackage (the fixture of the others): cpack writes the .deb into the
build folder's package-test/ and unpacks it there.
LintianFindsNoErrors: lintian reports no error (warnings are printed).
DesktopEntryAndAppStreamValidate: desktop-file-validate and appstreamcli
validate --no-net pass on the files as installed.
FilesAreWhereTheSystemLooks: programs, modules, help, machine store, icons of
each size, manual pages, completion and documents are at the system's paths,
the machine store points at the modules and is a conffile.
OneVersionEverywhere: the package, `tesslow-rip --version`, AppStream's
release, the change log and the manual pages give the same version.
"""
import gzip
import pathlib
import re
import shutil
import struct
import subprocess
import sys


def run(*command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, **kwargs)


def package_dir(build):
    return pathlib.Path(build) / "package-test"


def the_deb(build):
    debs = sorted(package_dir(build).glob("tesslow_*_amd64.deb"))
    return debs[0] if debs else None


def builds_the_package(build):
    folder = package_dir(build)
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    made = run("cpack", "-G", "DEB", "--config", str(pathlib.Path(build) / "CPackConfig.cmake"), "-B", str(folder))
    if made.returncode != 0:
        return [f"cpack failed:\n{made.stdout}{made.stderr}"]
    deb = the_deb(build)
    if deb is None:
        return [f"cpack wrote no tesslow_*_amd64.deb into {folder}"]
    unpacked = run("dpkg-deb", "-R", str(deb), str(folder / "root"))
    return [] if unpacked.returncode == 0 else [f"dpkg-deb -R failed: {unpacked.stderr}"]


def lintian_finds_no_errors(build):
    report = run("lintian", "--tag-display-limit", "0", str(the_deb(build)))
    lines = [line for line in report.stdout.splitlines() if re.match(r"^[EW]: ", line)]
    for line in lines:
        print(line)
    errors = [line for line in lines if line.startswith("E: ")]
    if report.returncode not in (0, 1) or "E: " in report.stderr:
        errors.append(f"lintian did not run: {report.stderr}")
    return errors


def desktop_entry_and_appstream_validate(build):
    root = package_dir(build) / "root"
    failures = []
    desktop = run("desktop-file-validate", str(root / "usr/share/applications/tesslow.desktop"))
    if desktop.returncode != 0 or desktop.stdout.strip():
        failures.append(f"desktop-file-validate: {desktop.stdout}{desktop.stderr}")
    metainfo = run("appstreamcli", "validate", "--no-net", "--pedantic",
                   str(root / "usr/share/metainfo/org.example.tesslow.metainfo.xml"))
    if metainfo.returncode != 0 or re.search(r"^[EW]: ", metainfo.stdout, re.M):
        failures.append(f"appstreamcli validate: {metainfo.stdout}{metainfo.stderr}")
    return failures


def png_size(path):
    with open(path, "rb") as picture:
        head = picture.read(24)
    return struct.unpack(">II", head[16:24]) if head[:8] == b"\x89PNG\r\n\x1a\n" else None


def files_are_where_the_system_looks(build):
    root = package_dir(build) / "root"
    expected = [
        "usr/bin/tesslow", "usr/bin/tesslow-rip",
        "usr/lib/tesslow/lame_enc.so", "usr/lib/tesslow/wmvcore.so",
        "usr/lib/tesslow/help/1.html", "usr/share/tesslow/help/1.html",
        "etc/xdg/Corvalen/tesslow/machine.reg",
        "usr/share/applications/tesslow.desktop",
        "usr/share/metainfo/org.example.tesslow.metainfo.xml",
        "usr/share/man/man1/tesslow-rip.1.gz", "usr/share/man/man1/tesslow.1.gz",
        "usr/share/bash-completion/completions/tesslow-rip",
        "usr/share/doc/tesslow/copyright", "usr/share/doc/tesslow/changelog.gz",
    ]
    failures = [f"missing: /{path}" for path in expected if not (root / path).is_file()]
    for size in (48, 64, 128, 256):
        icon = root / f"usr/share/icons/hicolor/{size}x{size}/apps/tesslow.png"
        if not icon.is_file() or png_size(icon) != (size, size):
            failures.append(f"{icon.relative_to(root)}: not a {size}x{size} PNG ({png_size(icon) if icon.is_file() else 'missing'})")
    if (root / "usr/lib/tesslow/help").is_symlink() and pathlib.Path(
            (root / "usr/lib/tesslow/help").readlink()).is_absolute():
        failures.append("the help link in /usr/lib/tesslow is absolute")
    store = (root / "etc/xdg/Corvalen/tesslow/machine.reg")
    if store.is_file() and '"AppPath"="/usr/lib/tesslow"' not in store.read_text():
        failures.append(f"the machine store does not point at /usr/lib/tesslow:\n{store.read_text()}")
    conffiles = root / "DEBIAN/conffiles"
    if not conffiles.is_file() or "/etc/xdg/Corvalen/tesslow/machine.reg" not in conffiles.read_text().split():
        failures.append("the machine store is not a conffile")
    control = (root / "DEBIAN/control").read_text()
    depends = re.search(r"^Depends: (.*)$", control, re.M)
    for needed in ("libqt6widgets6", "libflac12", "libcdparanoia0", "qt6-qpa-plugins", "libmp3lame0"):
        if not depends or needed not in depends.group(1):
            failures.append(f"Depends does not name {needed}: {depends.group(1) if depends else control}")
    return failures


def one_version_everywhere(build):
    root = package_dir(build) / "root"
    program = run(str(pathlib.Path(build) / "bin/tesslow-rip"), "--version").stdout.split()
    version = program[-1] if program else "(none)"
    found = {
        "package": re.search(r"^Version: (.*)$", (root / "DEBIAN/control").read_text(), re.M).group(1),
        "AppStream": re.search(r'<release version="([^"]+)"',
                               (root / "usr/share/metainfo/org.example.tesslow.metainfo.xml").read_text()).group(1),
        "change log": re.match(r"tesslow \(([^)]+)\)",
                               gzip.decompress((root / "usr/share/doc/tesslow/changelog.gz").read_bytes()).decode()).group(1),
    }
    for page in ("tesslow-rip.1.gz", "tesslow.1.gz"):
        title = gzip.decompress((root / "usr/share/man/man1" / page).read_bytes()).decode().splitlines()[0]
        found[page] = (re.search(r'"Tesslow ([^"]+)"', title) or re.match("(.*)", title)).group(1)
    return [f"{where} gives {value}, tesslow-rip --version {version}" for where, value in found.items() if value != version]


CHECKS = {
    "BuildsThePackage": builds_the_package,
    "LintianFindsNoErrors": lintian_finds_no_errors,
    "DesktopEntryAndAppStreamValidate": desktop_entry_and_appstream_validate,
    "FilesAreWhereTheSystemLooks": files_are_where_the_system_looks,
    "OneVersionEverywhere": one_version_everywhere,
}

if __name__ == "__main__":
    check, build = sys.argv[1], sys.argv[2]
    problems = CHECKS[check](build)
    for problem in problems:
        print(problem, file=sys.stderr)
    sys.exit(1 if problems else 0)
