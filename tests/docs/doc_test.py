#!/usr/bin/env python3
"""Runs the command lines the documents show, on the example logs the
packages install, and compares what they print with what the documents say
they print.

In a Markdown document, every line of a ```sh block that runs logweave (one
of its lines starts with "logweave "; the others set up or build) is run
with bash in a folder holding a copy of the example logs, in the order of the
document (so a file one command writes is there for the next). A command is expected to
end with exit status 0, or with N when its line ends in the comment
"# exit status N". The unlabelled block that follows an sh block (before any
other fenced block) is what its commands print on standard output and
standard error together: its lines must appear in that order, one after the
other; a line "..." stands for any number of lines, "..." within a line for
any text, and the block may begin and end anywhere in the output.

A link to a heading of the same document (#anchor) must name one of its
headings, as GitHub spells them.

In the manual page, the command lines of EXAMPLES (the .nf blocks) are run
after the last document, in its folder, where the files they name exist
(the guide's second yearly table among them). They show no output; each must
end with exit status 0, and a check with 0 or 1 (errors found).

usage: doc_test.py LOGWEAVE --examples FILE... --documents FILE...
                   [--manual PAGE]
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

FENCE = re.compile(r"^```(\S*)\s*$")
STATUS = re.compile(r"#\s*exit status (\d+)\b")


def blocks(markdown):
    """(label, lines, line number) of each fenced block, in order."""
    found, label, lines, start = [], None, [], 0
    for number, line in enumerate(markdown.splitlines(), 1):
        m = FENCE.match(line)
        if m and label is None:
            label, lines, start = m.group(1), [], number
        elif line.startswith("```") and label is not None:
            found.append((label, lines, start))
            label = None
        elif label is not None:
            lines.append(line)
    return found


def commands(lines):
    """The commands of an sh block, lines ending in a backslash joined."""
    result, pending = [], ""
    for line in lines:
        if line.rstrip().endswith("\\"):
            pending += line.rstrip()[:-1] + " "
            continue
        line = pending + line
        pending = ""
        if line.strip() and not line.lstrip().startswith("#"):
            result.append(line.strip())
    return result


def line_matches(expected, actual):
    pattern = ".*".join(re.escape(part) for part in expected.split("..."))
    return re.fullmatch(pattern, actual.rstrip()) is not None


def shown_in(expected, actual):
    """Whether the expected lines appear in the actual ones as described."""
    segments, segment = [], []
    for line in expected:
        if line.strip() == "...":
            if segment:
                segments.append(segment)
            segment = []
        else:
            segment.append(line.rstrip())
    if segment:
        segments.append(segment)
    at = 0
    for segment in segments:
        while at + len(segment) <= len(actual):
            if all(line_matches(e, actual[at + i]) for i, e in enumerate(segment)):
                break
            at += 1
        else:
            return False
        at += len(segment)
    return True


class Runner:
    def __init__(self, program, folder):
        self.folder = folder
        self.environment = dict(os.environ, LC_ALL="C.UTF-8")
        self.environment["PATH"] = (os.path.dirname(os.path.abspath(program)) +
                                    os.pathsep + self.environment["PATH"])
        self.failures = 0

    def run(self, command):
        done = subprocess.run(["bash", "-c", command], cwd=self.folder,
                              env=self.environment, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              timeout=120)
        return done.returncode, done.stdout.decode("utf-8", "replace")

    def fail(self, where, text):
        print(f"FAIL {where}: {text}")
        self.failures += 1

    def document(self, path):
        name = os.path.basename(path)
        with open(path, encoding="utf-8") as f:
            text = f.read()
        found = blocks(text)
        anchors = {anchor(h) for h in re.findall(r"^#+ (.*)$", text, re.M)}
        for link in re.findall(r"\]\(#([^)]*)\)", text):
            if link not in anchors:
                self.fail(name, f"the link #{link} names no heading")
        for index, (label, lines, start) in enumerate(found):
            if label != "sh" or not any(
                    c.startswith("logweave ") for c in commands(lines)):
                continue
            output = []
            for command in commands(lines):
                m = STATUS.search(command)
                expected = int(m.group(1)) if m else 0
                status, text = self.run(command)
                output += text.splitlines()
                if status != expected:
                    self.fail(f"{name}:{start}", f"{command}\n  exit status "
                              f"{status}, not {expected}\n" + indent(text))
            following = found[index + 1] if index + 1 < len(found) else None
            if following and following[0] == "" and not shown_in(following[1], output):
                self.fail(f"{name}:{following[2]}",
                          "the output shown is not what the commands above "
                          "print\n  shown:\n" + indent("\n".join(following[1])) +
                          "\n  printed:\n" + indent("\n".join(output)))

    def manual(self, path):
        with open(path, encoding="utf-8") as f:
            page = f.read()
        examples = page.split(".SH EXAMPLES", 1)[-1].split("\n.SH", 1)[0]
        lines = []
        for block in re.findall(r"^\.nf\n(.*?)^\.fi", examples, re.M | re.S):
            lines += [line.replace("\\-", "-").replace("\\e", "\\")
                      for line in block.splitlines()]
        ran = 0
        for command in commands(lines):
            ran += 1
            status, text = self.run(command)
            allowed = (0, 1) if command.startswith("logweave check ") else (0,)
            if status not in allowed:
                self.fail("manual page EXAMPLES", f"{command}\n  exit status "
                          f"{status}\n" + indent(text))
        if ran == 0:
            self.fail("manual page", "no command in EXAMPLES")


def anchor(heading):
    """A heading's anchor as GitHub makes it."""
    heading = re.sub(r"[^\w\- ]", "", heading.strip().lower())
    return heading.replace(" ", "-")


def indent(text):
    return "\n".join("    " + line for line in text.splitlines())


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("logweave")
    parser.add_argument("--examples", nargs="+", required=True)
    parser.add_argument("--documents", nargs="+", required=True)
    parser.add_argument("--manual")
    arguments = parser.parse_args()
    failures = 0
    with tempfile.TemporaryDirectory() as work:
        runner = None
        for document in arguments.documents:
            # Each document starts from a fresh copy of the examples.
            folder = os.path.join(work, os.path.basename(document))
            os.mkdir(folder)
            for example in arguments.examples:
                shutil.copy(example, folder)
            runner = Runner(arguments.logweave, folder)
            runner.document(document)
            failures += runner.failures
        if arguments.manual and runner:
            runner.failures = 0
            runner.manual(arguments.manual)
            failures += runner.failures
    return 1 if failures else 0

if __name__ == "__main__":
    sys.exit(main())
