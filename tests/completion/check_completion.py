#!/usr/bin/env python3
"""Checks of the bash completion of tesslow-rip, run by CTest one at a time.

    check_completion.py CHECK COMPLETION_FILE TESSLOW_RIP

Each check sources the completion file in a bash of its own, sets
COMP_WORDS and COMP_CWORD as bash does when Tab is pressed, calls the
function that `complete -p tesslow-rip` names, and looks at COMPREPLY.
"""

import pathlib
import re
import subprocess
import sys
import tempfile

DRIVER = r"""
source "$1" || exit 90
registered=$(complete -p tesslow-rip) || exit 91
[[ $registered =~ -F\ ([^ ]+) ]] || exit 92
function=${BASH_REMATCH[1]}
COMP_CWORD=$2
shift 2
COMP_WORDS=("$@")
COMP_LINE="${COMP_WORDS[*]}"
COMP_POINT=${#COMP_LINE}
"$function" tesslow-rip "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
printf '%s\0' "${COMPREPLY[@]}"
"""


class Checker:
    def __init__(self, completion_file, program):
        self.completion_file = str(pathlib.Path(completion_file).resolve())
        self.program = program
        self.failures = []

    def complete(self, *words, cwd=None):
        """The completions of the last word of `tesslow-rip WORDS...`."""
        args = ["bash", "--norc", "--noprofile", "-c", DRIVER, "driver",
                self.completion_file, str(len(words)), "tesslow-rip", *words]
        run = subprocess.run(args, capture_output=True, cwd=cwd)
        if run.returncode != 0:
            sys.exit(f"bash exited with {run.returncode}: {run.stderr.decode()}")
        return sorted(item for item in run.stdout.decode().split("\0") if item)

    def expect(self, words, expected, cwd=None):
        got = self.complete(*words, cwd=cwd)
        if got != sorted(expected):
            line = " ".join(["tesslow-rip", *words])
            missing = sorted(set(expected) - set(got))
            extra = sorted(set(got) - set(expected))
            if missing or extra:
                self.failures.append(f"`{line}<Tab>` lacks {missing} and gives too {extra}")
            else:
                self.failures.append(f"`{line}<Tab>` gives {got}, a name more than once")

    def help_options(self):
        run = subprocess.run([self.program, "--help"], capture_output=True, text=True)
        if run.returncode != 0:
            sys.exit(f"{self.program} --help exited with {run.returncode}")
        return sorted({o.rstrip("-") for o in re.findall(r"(?<![\w-])--[a-z][a-z0-9-]*", run.stdout)})


def option_prefix_completes_to_the_option(c):
    c.expect(["--for"], ["--format"])
    c.expect(["--no-ve"], ["--no-verify-reads"])
    c.expect(["--find"], ["--find-offset"])


def two_dashes_offer_every_option_of_the_help(c):
    options = c.help_options()
    if len(options) < 10:
        c.failures.append(f"tesslow-rip --help lists only {options}")
    c.expect(["--"], options)
    # After an option that takes no value, the next word is an option again.
    c.expect(["--json", "--"], options)


def format_offers_the_formats(c):
    c.expect(["--format", "f"], ["flac"])
    c.expect(["--format", ""], ["wav", "mp3", "wma", "ogg", "ape", "flac"])
    c.expect(["--format", "w"], ["wav", "wma"])


def quality_offers_the_presets_and_custom(c):
    c.expect(["--quality", ""], ["low", "medium", "high", "custom:"])
    c.expect(["--quality", "c"], ["custom:"])
    c.expect(["--tracks", "1", "--quality", "h"], ["high"])


def output_offers_folders_only(c):
    with tempfile.TemporaryDirectory() as root:
        base = pathlib.Path(root)
        (base / "Music").mkdir()
        (base / "Mixes").mkdir()
        (base / "Mine.txt").write_text("not a folder")
        c.expect(["--output", "M"], ["Music", "Mixes"], cwd=root)
        c.expect(["--output", "Mu"], ["Music"], cwd=root)
        # A name with a space or a wildcard stays one name.
        (base / "My Music").mkdir()
        (base / "Mix*").mkdir()
        c.expect(["--output", "My"], ["My Music"], cwd=root)
        c.expect(["--output", "Mi"], ["Mix*", "Mixes"], cwd=root)


def drive_offers_cue_sheets_and_folders(c):
    with tempfile.TemporaryDirectory() as root:
        base = pathlib.Path(root)
        (base / "discs").mkdir()
        (base / "demo.cue").write_text("FILE \"demo.bin\" BINARY\n")
        (base / "demo.bin").write_bytes(b"\0" * 2352)
        (base / "notes.txt").write_text("")
        c.expect(["--drive", "d"], ["demo.cue", "discs"], cwd=root)
        c.expect(["--drive", "n"], [], cwd=root)
    devices = sorted(str(p) for p in pathlib.Path("/dev").glob("sr*"))
    c.expect(["--drive", "/dev/sr"], devices)


def values_of_the_users_own_get_no_completion(c):
    with tempfile.TemporaryDirectory() as root:
        (pathlib.Path(root) / "Artist.txt").write_text("")
        for option in ["--artist", "--album", "--title", "--tracks", "--offset", "--template"]:
            c.expect([option, ""], [], cwd=root)
            c.expect([option, "A"], [], cwd=root)


CHECKS = {
    "OptionPrefixCompletesToTheOption": option_prefix_completes_to_the_option,
    "TwoDashesOfferEveryOptionOfTheHelp": two_dashes_offer_every_option_of_the_help,
    "FormatOffersTheFormats": format_offers_the_formats,
    "QualityOffersThePresetsAndCustom": quality_offers_the_presets_and_custom,
    "OutputOffersFoldersOnly": output_offers_folders_only,
    "DriveOffersCueSheetsAndFolders": drive_offers_cue_sheets_and_folders,
    "ValuesOfTheUsersOwnGetNoCompletion": values_of_the_users_own_get_no_completion,
}


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in CHECKS:
        sys.exit(f"usage: {sys.argv[0]} CHECK COMPLETION_FILE TESSLOW_RIP; CHECK one of {', '.join(CHECKS)}")
    checker = Checker(sys.argv[2], sys.argv[3])
    CHECKS[sys.argv[1]](checker)
    for failure in checker.failures:
        print(failure, file=sys.stderr)
    sys.exit(1 if checker.failures else 0)


if __name__ == "__main__":
    main()
