#!/usr/bin/env python3
"""Checks of the manual pages in man/, run by CTest one check at a time.

    check_man_pages.py CHECK MAN_DIR TESSLOW_RIP

GroffWarnsOfNothing: groff, with every warning turned on, has nothing to say
of any page. PageAndHelpListTheSameOptions: tesslow-rip(1) documents every
option that `tesslow-rip --help` prints and no other, so that neither can
forget one. PagesNameTheProgramsVersion: each page's title line carries the
version that `tesslow-rip --version` prints.
"""

import pathlib
import re
import subprocess
import sys


def pages(man_dir):
    found = sorted(pathlib.Path(man_dir).glob("*.1"))
    if not found:
        sys.exit(f"no manual pages in {man_dir}")
    return found


def groff_warns_of_nothing(man_dir, _program):
    failures = []
    for page in pages(man_dir):
        run = subprocess.run(["groff", "-man", "-ww", "-z", str(page)], capture_output=True, text=True)
        said = (run.stdout + run.stderr).strip()
        if run.returncode != 0 or said:
            failures.append(f"{page.name}: groff exit code {run.returncode}\n{said}")
    return failures


# An option in the help is a word starting with two dashes; in the page it is
# written with escaped dashes, \-\-no\-lookup.
HELP_OPTION = re.compile(r"(?<![\w-])--[a-z][a-z0-9-]*")
PAGE_OPTION = re.compile(r"\\-\\-[a-z](?:[a-z0-9]|\\-)*")


def help_options(program):
    run = subprocess.run([program, "--help"], capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit(f"{program} --help exited with {run.returncode}: {run.stderr}")
    return {option.rstrip("-") for option in HELP_OPTION.findall(run.stdout)}


def page_options(page):
    text = page.read_text(encoding="utf-8")
    return {option.replace("\\-", "-") for option in PAGE_OPTION.findall(text)}


def page_and_help_list_the_same_options(man_dir, program):
    in_help = help_options(program)
    in_page = page_options(pathlib.Path(man_dir) / "tesslow-rip.1")
    if len(in_help) < 10:
        return [f"tesslow-rip --help lists only {sorted(in_help)}; is this the right program?"]
    failures = []
    if in_help - in_page:
        failures.append("the help lists, the page lacks: " + " ".join(sorted(in_help - in_page)))
    if in_page - in_help:
        failures.append("the page documents, the help lacks: " + " ".join(sorted(in_page - in_help)))
    return failures


def pages_name_the_programs_version(man_dir, program):
    run = subprocess.run([program, "--version"], capture_output=True, text=True)
    version = run.stdout.split()[-1] if run.returncode == 0 and run.stdout.split() else None
    if not version:
        return [f"{program} --version printed no version: {run.stdout!r} {run.stderr!r}"]
    failures = []
    for page in pages(man_dir):
        title = next((line for line in page.read_text(encoding="utf-8").splitlines() if line.startswith(".TH ")), "")
        if f'"Tesslow {version}"' not in title:
            failures.append(f"{page.name}: the title line {title!r} does not name Tesslow {version}")
    return failures


CHECKS = {
    "GroffWarnsOfNothing": groff_warns_of_nothing,
    "PageAndHelpListTheSameOptions": page_and_help_list_the_same_options,
    "PagesNameTheProgramsVersion": pages_name_the_programs_version,
}


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in CHECKS:
        sys.exit(f"usage: {sys.argv[0]} {'|'.join(CHECKS)} MAN_DIR TESSLOW_RIP")
    failures = CHECKS[sys.argv[1]](sys.argv[2], sys.argv[3])
    for failure in failures:
        print(failure, file=sys.stderr)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
