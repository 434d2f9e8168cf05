#!/usr/bin/python3
"""The schema for editors (docs/job.schema.json) against the job reader.

Usage: check_schema.py SOURCE_DIR PELK_POST MODULE PELK_TESTS

1. Both schemas are valid JSON Schema 2020-12, and every key has a
   description.
2. Every job the reader takes is valid by the schema: the examples, the golden
   jobs, and every job text the unit tests have the reader take (PELK_TESTS
   run with PELK_ACCEPTED_JOBS, see tests/support/accepted_jobs.cpp); every
   machine file of the examples by docs/machine.schema.json.
3. Every job of refused_jobs.json (beside this script) is refused by the
   reader, with the place the table names, and by the schema.
4. The commands that docs/job-format.md gives to check a job or a machine
   file by hand work as written.

Runs with Debian's python3 and python3-jsonschema.  Any disagreement is
listed and fails the check.
"""
import glob
import json
import os
import pathlib
import subprocess
import sys
import tempfile

import jsonschema

source_dir, pelk_post, module, pelk_tests = sys.argv[1:5]
docs = pathlib.Path(source_dir) / "docs"
faults = []

# ---- 1. The schemas themselves.
job_schema = json.loads((docs / "job.schema.json").read_text())
machine_schema = json.loads((docs / "machine.schema.json").read_text())
Validator = jsonschema.Draft202012Validator
Validator.check_schema(job_schema)
Validator.check_schema(machine_schema)
job_validator = Validator(job_schema)


# Every key an editor completes tells what it is.
def undescribed(node, path):
    if isinstance(node, dict):
        for key, value in node.get("properties", {}).items():
            if "description" not in value:
                yield path + "/properties/" + key
        for key, value in node.items():
            yield from undescribed(value, path + "/" + key)
    elif isinstance(node, list):
        for i, value in enumerate(node):
            yield from undescribed(value, path + "/" + str(i))


faults += ["docs/job.schema.json#%s: a key without a description" % p for p in undescribed(job_schema, "")]
resolver = jsonschema.RefResolver(base_uri=(docs / "machine.schema.json").as_uri(), referrer=machine_schema,
                                  store={(docs / "job.schema.json").as_uri(): job_schema})
machine_validator = Validator(machine_schema, resolver=resolver)


def schema_faults(validator, document):
    return ["%s: %s" % ("/" + "/".join(str(p) for p in e.absolute_path), e.message[:200])
            for e in validator.iter_errors(document)]


def expect_valid(validator, name, text):
    try:
        document = json.loads(text)
    except ValueError as e:
        faults.append("%s: not JSON for Python (%s)" % (name, e))
        return
    for fault in schema_faults(validator, document):
        faults.append("%s: taken by the reader, refused by the schema: %s" % (name, fault))


# ---- 2. What the reader takes, the schema takes.
root = pathlib.Path(source_dir)
jobs = sorted(glob.glob(str(root / "examples" / "*.json")) + glob.glob(str(root / "examples" / "warnings" / "*.json")) +
              glob.glob(str(root / "tests" / "golden" / "*" / "job.json")))
for path in jobs:
    expect_valid(job_validator, os.path.relpath(path, source_dir), pathlib.Path(path).read_text())
for path in sorted(glob.glob(str(root / "examples" / "machines" / "*.json"))):
    expect_valid(machine_validator, os.path.relpath(path, source_dir), pathlib.Path(path).read_text())
with tempfile.TemporaryDirectory() as accepted:
    run = subprocess.run([pelk_tests, "--gtest_brief=1"], env=dict(os.environ, PELK_ACCEPTED_JOBS=accepted, LC_ALL="C"),
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if run.returncode != 0:
        faults.append("the unit tests failed, the jobs they take are not known:\n" + run.stdout[-2000:])
    texts = sorted(pathlib.Path(accepted).glob("*.json"))
    if len(texts) < 100:
        faults.append("only %d jobs kept from the unit tests: is parse_job still wrapped?" % len(texts))
    for path in texts:
        text = path.read_text()
        expect_valid(job_validator, "a job taken by the unit tests, " + " ".join(text.split())[:160], text)
    checked = len(jobs) + len(texts)

# ---- 3. What the reader refuses for a wrong type, a missing or unknown key,
# the schema refuses.
table = json.loads((pathlib.Path(__file__).parent / "refused_jobs.json").read_text())
with tempfile.TemporaryDirectory() as work:
    empty_job = pathlib.Path(work, "empty.json")
    empty_job.write_text("{}")
    for case in table["jobs"]:
        machine = "machine_file" in case
        document = case["machine_file"] if machine else case["job"]
        path = pathlib.Path(work, "case.json")
        path.write_text(json.dumps(document))
        command = [pelk_post, "--module", module, "--check", "-q"]
        command += ["--machine", str(path), str(empty_job)] if machine else [str(path)]
        run = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        name = "%s %s" % ("machine file" if machine else "job", json.dumps(document)[:200])
        if run.returncode != 1:
            faults.append("%s: the table says the reader refuses it (%s), it ended with %d" %
                          (name, case["reader"], run.returncode))
        elif case["reader"] not in run.stderr:
            faults.append("%s: the reader refused it with\n  %s  not with %r" % (name, run.stderr.strip(), case["reader"]))
        if not schema_faults(machine_validator if machine else job_validator, document):
            faults.append("%s: refused by the reader (%s), taken by the schema" % (name, case["reader"]))

# ---- 4. The commands docs/job-format.md gives to check a file by hand work
# as written (the machine file's schema takes its parts from the job's).
commands = [line.strip() for line in (docs / "job-format.md").read_text().splitlines()
            if line.strip().startswith("python3 -m jsonschema ")]
if not any("machine.schema.json" in c for c in commands):
    faults.append("docs/job-format.md gives no command that checks a machine file against its schema")
for command in commands:
    run = subprocess.run(["bash", "-c", "/usr/bin/" + command], cwd=source_dir, stdout=subprocess.PIPE,
                         stderr=subprocess.STDOUT, text=True)
    if run.returncode != 0:
        faults.append("docs/job-format.md: %s fails:\n%s" % (command, run.stdout[-1000:]))

for fault in faults:
    print(fault)
print("%d jobs the reader takes checked, %d it refuses; %d disagreements" % (checked, len(table["jobs"]), len(faults)))
sys.exit(1 if faults else 0)
