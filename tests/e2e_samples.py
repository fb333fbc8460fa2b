#!/usr/bin/env python3
"""End-to-end checks of session files through kalmet-cli against the facts that
kalmet-sessiongen knows it wrote.

Each check runs the CLI with a program folder of its own (links to the build's
libraries and dictionaries) so that the log it writes can be read afterwards: any log
line other than the opening line counts as an error.

usage: e2e_samples.py --cli CLI --gen GEN --program-dir DIR --samples DIR --work DIR
                      CHECK [ARG]
checks: reproducible | info FILE | journal FILE | trace FILE | setups FILE |
        same-values NAME | same-journal NAME | generated CASE
"""
import argparse
import json
import os
import shutil
import subprocess
import sys

KINDS = [("xml", "xml"), ("z4k", "Z4K"), ("z5k", "Z5K")]
OPENING_LINE = "Открытие файла "


class Failure(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Failure(message)


def expect_equal(actual, expected, what):
    expect(actual == expected, f"{what}: got {actual!r}, expected {expected!r}")


class Runner:
    def __init__(self, args):
        self.args = args
        os.makedirs(args.work, exist_ok=True)

    def program_dir(self, tag):
        """A program folder whose Logs are ours alone."""
        folder = os.path.join(self.args.work, "program-" + tag)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        for entry in os.listdir(self.args.program_dir):
            if entry != "Logs":
                os.symlink(os.path.abspath(os.path.join(self.args.program_dir, entry)),
                           os.path.join(folder, entry))
        return folder

    def cli(self, *argv, tag):
        folder = self.program_dir(tag)
        run = subprocess.run([self.args.cli, *argv, "--program-dir", folder],
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        out = run.stdout.decode("utf-8", "replace")
        err = run.stderr.decode("utf-8", "replace")
        expect(run.returncode == 0, f"kalmet-cli {' '.join(argv)}: exit {run.returncode}\n{err}")
        errors = [line for line in self.log_lines(folder) if not line[9:].startswith(OPENING_LINE)]
        expect(not errors, f"kalmet-cli {' '.join(argv)} logged:\n" + "\n".join(errors))
        return out

    @staticmethod
    def log_lines(folder):
        logs = os.path.join(folder, "Logs")
        lines = []
        if os.path.isdir(logs):
            for name in sorted(os.listdir(logs)):
                with open(os.path.join(logs, name), "rb") as f:
                    lines += f.read().decode("utf-8", "replace").splitlines()
        return [line for line in lines if line.strip()]

    def generate(self, path, protocol, kind, options, facts=True):
        argv = [self.args.gen, "--protocol", str(protocol), "--kind", kind, *options, "-o", path]
        if facts:
            argv[1:1] = ["--facts", path + ".facts.json"]
        run = subprocess.run(argv, stderr=subprocess.PIPE)
        expect(run.returncode == 0, f"{' '.join(argv)}: {run.stderr.decode()}")
        return load_facts(path + ".facts.json") if facts else None

    def sample_list(self):
        with open(os.path.join(self.args.samples, "sample-list")) as f:
            for line in f:
                if line.strip():
                    name, protocol, seed, *options = line.split()
                    yield name, int(protocol), ["--seed", seed, *options]


def load_facts(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def facts_of(session):
    return load_facts(session + ".facts.json")


def info_fields(text):
    fields = {}
    for line in text.splitlines():
        key, _, value = line.partition(": ")
        fields[key] = value
    return fields


def journal_entries(runner, session, tag):
    out = runner.cli("journal", session, "--json", tag=tag)
    return [json.loads(line) for line in out.splitlines() if line.strip()]


def journal_events(entries):
    return [e for e in entries if not e["graph"]]


# ---------------------------------------------------------------------------
# Checks


def check_reproducible(runner, _):
    """The checked-in samples are exactly what the generator writes for their list."""
    for name, protocol, options in runner.sample_list():
        for kind, ext in KINDS:
            fresh = os.path.join(runner.args.work, f"{name}.{ext}")
            runner.generate(fresh, protocol, kind, options)
            for suffix in ("", ".facts.json"):
                with open(fresh + suffix, "rb") as a, \
                        open(os.path.join(runner.args.samples, f"{name}.{ext}{suffix}"), "rb") as b:
                    expect(a.read() == b.read(),
                           f"samples/{name}.{ext}{suffix} differs from the generator's output "
                           "(run samples/regenerate)")


def check_info(runner, session, facts=None, tag="info"):
    facts = facts or facts_of(session)
    info = info_fields(runner.cli("info", session, tag=tag))
    expect_equal(info["protocol"], str(facts["protocol"]), "protocol")
    expect_equal(info["version"], facts["version"], "version")
    expect_equal(info["software"], facts["software"], "software")
    expect_equal(info["cluster"], facts["cluster"], "cluster")
    expect_equal(info["well"], facts["well"], "well")
    # The version-2 parser takes the journal image and its descriptor out of the table.
    expected = facts["variables"]
    if "journal-events" in info:
        expected -= 2 * facts["image-blocks"]
    expect_equal(int(info["variables"]), expected, "variables")
    expect_equal(info["measurement-slices"], str(facts["measurement-slices"]),
                 "measurement slices")
    if "journal-events" not in info:
        return  # a reader without parsers
    expect_equal(info["field"], facts["field"], "field")
    expect_equal(int(info["journal-events"]), facts["journal-events"], "journal events")
    expect_equal(int(info["trace-lines"]), facts["trace-records"], "trace lines")
    for key in ("work-time", "idle-time", "start-count"):
        expect_equal(int(info[key]), facts[key], key)
    if facts["protocol"] == 2:
        expected = facts["graph-samples"] + facts["measurement-slices"]
        expect_equal(int(info["graph-samples"]), expected, "graph samples")


def check_journal(runner, session, facts=None, tag="journal"):
    facts = facts or facts_of(session)
    events = journal_events(journal_entries(runner, session, tag))
    by_code = {}
    for e in events:
        by_code[str(e["code"])] = by_code.get(str(e["code"]), 0) + 1
    expect_equal(by_code, facts["events-by-code"], "events by code")
    stops = [sum(1 for e in events if e["stop"] == v) for v in (1, 2, 3, 4)]
    expect_equal(stops, [facts["stops"], facts["starts"], facts["power-off"], facts["power-on"]],
                 "stops, starts, power off, power on")
    keys = [e["key"] for e in events]
    expect(len(set(keys)) == len(keys), "journal keys are not unique")
    if facts["protocol"] == 0:
        reasons = {}
        for e in events:
            if ":[" in e["name"]:
                reason = e["name"].split(":[", 1)[1].split("]", 1)[0]
                reasons[reason] = reasons.get(reason, 0) + 1
        expect_equal(reasons, facts["stop-reasons"], "stop reasons of protection trips")
    return events


def check_trace(runner, session, facts=None, tag="trace"):
    facts = facts or facts_of(session)
    out = runner.cli("trace", session, tag=tag)
    records = [line for line in out.splitlines() if line and not line.startswith("\t")]
    expect_equal(len(records), facts["trace-records"], "trace records")


def check_setups(runner, session):
    facts = facts_of(session)
    lines = set(runner.cli("setups", session, tag="setups").splitlines())
    for row in facts["setups"]:
        expect(f"{row['name']}\t{row['value']}" in lines,
               f"setup row {row['name']!r} = {row['value']!r} missing")


def same_output(runner, name, produce):
    base = os.path.join(runner.args.samples, name)
    outputs = {ext: produce(f"{base}.{ext}", ext) for _, ext in KINDS}
    for ext in ("Z4K", "Z5K"):
        expect(outputs[ext] == outputs["xml"], f"{name}.{ext} and {name}.xml differ")


def check_same_values(runner, name):
    """The three kinds of one content fill the same value table, as large as written."""
    def values(path, ext):
        out = runner.cli("values", path, tag="values-" + ext)
        expect_equal(len(out.splitlines()), facts_of(path)["variables"], path + " values")
        return out
    same_output(runner, name, values)


def check_same_journal(runner, name):
    """The three kinds of one content give the same journal events."""
    same_output(runner, name,
                lambda path, ext: journal_events(journal_entries(runner, path, "journal-" + ext)))


# Generated sessions beyond the samples: ring wrap, counter wrap, empty journals.
GENERATED = {
    # protocol, kind, options
    "v0-ring-wrap": (0, "xml", ["--seed", "21", "--events", "700"]),
    "v1-ring-wrap": (1, "z4k", ["--seed", "22", "--events", "1500"]),
    "v2-label-wrap": (2, "z4k", ["--seed", "23", "--events", "400",
                                 "--label-start", "4294967000"]),
    "v2-many-blocks": (2, "z5k", ["--seed", "24", "--events", "20000", "--graph-points", "2000"]),
    "v1-no-events": (1, "xml", ["--seed", "25", "--events", "0", "--starts", "0"]),
    "v2-no-events": (2, "xml", ["--seed", "26", "--events", "0", "--graph-points", "0"]),
}


def check_generated(runner, case):
    protocol, kind, options = GENERATED[case]
    ext = dict(KINDS)[kind]
    session = os.path.join(runner.args.work, f"{case}.{ext}")
    facts = runner.generate(session, protocol, kind, options)
    check_info(runner, session, facts, tag=case + "-info")
    if runner.args.with_journal:
        events = check_journal(runner, session, facts, tag=case + "-journal")
        check_trace(runner, session, facts, tag=case + "-trace")
        if protocol != 2:
            keys = [e["key"] for e in events]
            expect(keys == sorted(keys), "journal keys out of time order")


def main():
    parser = argparse.ArgumentParser()
    for option in ("--cli", "--gen", "--program-dir", "--samples", "--work"):
        parser.add_argument(option, required=True)
    parser.add_argument("--with-journal", action="store_true",
                        help="the CLI has the journal and trace subcommands")
    parser.add_argument("check")
    parser.add_argument("arg", nargs="?")
    args = parser.parse_args()
    checks = {
        "reproducible": check_reproducible,
        "info": check_info,
        "journal": check_journal,
        "trace": check_trace,
        "setups": check_setups,
        "same-values": check_same_values,
        "same-journal": check_same_journal,
        "generated": check_generated,
    }
    runner = Runner(args)
    argument = args.arg
    if args.check in ("info", "journal", "trace", "setups"):
        argument = os.path.join(args.samples, args.arg)
    try:
        checks[args.check](runner, argument)
    except Failure as failure:
        print(f"FAILED {args.check} {args.arg or ''}: {failure}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
