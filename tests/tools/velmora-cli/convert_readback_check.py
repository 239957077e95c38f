#!/usr/bin/env python3
"""Every corpus store converted with velmora-cli, in both formats, read back
with Python's own mail modules.

For each store (the corpus and its 4K twins) the tool's `dump --json` says
what each folder holds; `convert --format eml` and `convert --format mbox`
write it out. Each folder's files are found by the names the conversion
gives them (folder names made safe, same-named siblings numbered, .eml files
numbered in folder order), read with `email` and `mailbox`, and compared
message by message with the dump: the subject, the sender's and recipients'
addresses, each attachment's bytes and name, attached messages as
message/rfc822 parts holding the attached message, recursively.

Then the refusals: a second conversion into the same folder stops at the
first file that exists; one with --force writes over it; one whose files may
not grow past a few kilobytes stops with one line naming the file and leaves
every file that is there whole.

Exit codes: 0 all stores read back, 1 some did not, 77 the corpus is missing
(a skip; a failure when CI=true).
"""

import argparse
import email
import email.policy
import hashlib
import json
import mailbox
import os
import re
import resource
import signal
import subprocess
import sys
import tempfile

NAME_UNITS = 60
RESERVED = set('/:*?"<>|\\')
WHITE_SPACE = set(" \t\n\v\f\r\x85\xa0\u1680\u2028\u2029\u202f\u205f\u3000") | {
    chr(c) for c in range(0x2000, 0x200B)
}


def safe_name(text, fallback, message_rule=True):
    """The conversion's name for a folder or subject (see common/safe_name.h)."""
    name = "".join("_" if c in RESERVED or ord(c) <= 0x1F or ord(c) == 0x7F else c for c in text)
    units = name.encode("utf-16-le", "surrogatepass")
    if len(units) > 2 * NAME_UNITS:
        units = units[: 2 * NAME_UNITS]
        if 0xD800 <= int.from_bytes(units[-2:], "little") <= 0xDBFF:
            units = units[:-2]
        name = units.decode("utf-16-le", "surrogatepass")
    if message_rule and name.endswith("."):
        name += "_"
    while name and name[-1] in WHITE_SPACE:
        name = name[:-1]
    while name and name[0] in WHITE_SPACE:
        name = name[1:]
    if name and set(name) == {"."}:
        name = "_" * len(name)
    return name or fallback


def claim(siblings, name):
    if name not in siblings:
        siblings[name] = 2
        return name
    while True:
        numbered = f"{name} ({siblings[name]})"
        siblings[name] += 1
        if numbered not in siblings:
            siblings[numbered] = 2
            return numbered


def folder_places(folders, parent, mbox, out):
    """(dump folder, directory or mbox file) for every folder, depth first."""
    siblings = {}
    for folder in folders:
        base = safe_name(folder["name"], "Unnamed folder", message_rule=False)
        name = claim(siblings, base)
        if mbox:
            while name + ".mbox" in siblings:
                name = claim(siblings, base)
            siblings[name + ".mbox"] = 2
            out.append((folder, os.path.join(parent, name + ".mbox")))
        else:
            out.append((folder, os.path.join(parent, name)))
        folder_places(folder["folders"], os.path.join(parent, name), mbox, out)
    return out


def header_text(text):
    """A stored text as the conversion writes it in a header, spaces folded."""
    return " ".join("".join(" " if ord(c) < 0x20 or ord(c) == 0x7F else c for c in text).split())


def addresses(message, *fields):
    found = set()
    for field in fields:
        for value in message.get_all(field, []):
            for _, address in email.utils.getaddresses([str(value)]):
                found.add(address.lower())
    return found


def leaf_parts(message):
    """Every part below `message` that is neither multipart nor an attached message."""
    for part in message.iter_parts() if message.is_multipart() else []:
        if part.get_content_type() == "message/rfc822":
            yield part
        elif part.is_multipart():
            yield from leaf_parts(part)
        else:
            yield part


def check_message(message, expected, where, problems):
    subject = header_text(str(message.get("Subject", "")))
    if subject != header_text(expected["subject"]):
        problems.append(f"{where}: subject {subject!r}, dump says {expected['subject']!r}")
    sender = expected["sender_address"].lower()
    if "@" in sender and sender not in addresses(message, "From", "Sender"):
        problems.append(f"{where}: sender {sender} not in From or Sender")
    written = addresses(message, "To", "Cc", "Bcc")
    for recipient in expected["recipients"]:
        address = (recipient["smtp"] or recipient["email"]).lower()
        if "@" in address and recipient["type"] in (1, 2, 3) and address not in written:
            problems.append(f"{where}: recipient {address} not in To, Cc or Bcc")
    check_attachments(message, expected["attachments"], where, problems)


def check_attachments(message, attachments, where, problems):
    parts = list(leaf_parts(message))
    digests = {}
    inner_messages = []
    for part in parts:
        if part.get_content_type() == "message/rfc822":
            inner_messages.append(part.get_payload(0))
        else:
            payload = part.get_payload(decode=True) or b""
            digests.setdefault(hashlib.sha256(payload).hexdigest(), []).append(part)
    for n, attachment in enumerate(attachments):
        at = f"{where} attachment {n}"
        if "message" in attachment:
            subject = header_text(attachment["message"]["subject"])
            match = [m for m in inner_messages if header_text(str(m.get("Subject", ""))) == subject]
            if not match:
                problems.append(f"{at}: no attached message with subject {subject!r}")
                continue
            check_message(match[0], attachment["message"], at, problems)
            inner_messages.remove(match[0])
        elif attachment["sha256"] is not None and attachment["method"] != 5:
            found = digests.get(attachment["sha256"], [])
            if not found:
                problems.append(f"{at}: no part with the bytes of {attachment['name']!r}")
            elif attachment["name"] and not any(
                header_text(p.get_filename() or "") == header_text(attachment["name"])
                for p in found
            ):
                problems.append(f"{at}: the part's name is not {attachment['name']!r}")


def read_eml_folder(directory):
    names = sorted(n for n in os.listdir(directory) if re.match(r"^\d{5,} .*\.eml$", n))
    for name in names:
        with open(os.path.join(directory, name), "rb") as file:
            yield name, email.message_from_binary_file(file, policy=email.policy.default)


def read_mbox(path):
    box = mailbox.mbox(path, factory=None, create=False)
    try:
        for n, key in enumerate(box.keys()):
            raw = box.get_bytes(key)
            yield f"message {n + 1}", email.message_from_bytes(raw, policy=email.policy.default)
    finally:
        box.close()


def run(cli, *args, limit=None):
    def limited():
        # Files may not grow past `limit` bytes: a write beyond fails as on a full disk.
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))

    return subprocess.run(
        [cli, *args], capture_output=True, timeout=600, preexec_fn=limited if limit else None
    )


def check_store(cli, store, work, problems):
    dump_run = run(cli, "dump", store, "--json")
    if dump_run.returncode != 0:
        problems.append(f"{store}: dump failed: {dump_run.stderr.decode(errors='replace')}")
        return 0
    dump = json.loads(dump_run.stdout)
    checked = 0
    for form in ("eml", "mbox"):
        out = os.path.join(work, form)
        result = run(cli, "convert", store, "--format", form, "--output", out)
        if result.returncode != 0:
            problems.append(f"{store} {form}: exit {result.returncode}: {result.stderr!r}")
            continue
        for folder, place in folder_places(dump["folders"], out, form == "mbox", []):
            where = f"{os.path.basename(store)} {form} {folder['name']!r}"
            if not os.path.exists(place):
                problems.append(f"{where}: {place} not written")
                continue
            read = list(read_mbox(place) if form == "mbox" else read_eml_folder(place))
            if len(read) != len(folder["messages"]):
                problems.append(f"{where}: {len(read)} messages, dump has {len(folder['messages'])}")
            for (name, message), expected in zip(read, folder["messages"]):
                if form == "eml" and not name.endswith(
                    " " + safe_name(expected["subject"], "No subject") + ".eml"
                ):
                    problems.append(f"{where}: file {name!r} for {expected['subject']!r}")
                check_message(message, expected, f"{where} {name}", problems)
                checked += 1
    return checked


def check_refusals(cli, store, work, problems):
    out = os.path.join(work, "again")
    first = run(cli, "convert", store, "--format", "eml", "--output", out)
    again = run(cli, "convert", store, "--format", "eml", "--output", out)
    lines = again.stderr.decode(errors="replace").strip().splitlines()
    if first.returncode != 0 or again.returncode == 0 or len(lines) != 1 or "exists" not in lines[0]:
        problems.append(f"second conversion: exit {again.returncode}, said {lines}")
    forced = run(cli, "convert", store, "--format", "eml", "--output", out, "--force")
    if forced.returncode != 0:
        problems.append(f"--force: exit {forced.returncode}: {forced.stderr!r}")
    for form in ("eml", "mbox"):
        full = os.path.join(work, "full-" + form)
        result = run(cli, "convert", store, "--format", form, "--output", full, limit=48 * 1024)
        lines = result.stderr.decode(errors="replace").strip().splitlines()
        if result.returncode == 0 or not lines or "cannot write " + full not in lines[-1]:
            problems.append(f"{form} on a full disk: exit {result.returncode}, said {lines}")
        check_whole(full, form, problems)


def check_whole(directory, form, problems):
    """Every file the stopped conversion left reads as whole messages."""
    for parent, _, names in os.walk(directory):
        for name in names:
            path = os.path.join(parent, name)
            if name.endswith(".partial"):
                problems.append(f"{path}: a partial file was left")
            elif form == "mbox" and name.endswith(".mbox"):
                with open(path, "rb") as file:
                    data = file.read()
                if data and not data.endswith(b"\n\n"):
                    problems.append(f"{path}: ends inside a message")
            elif name.endswith(".eml"):
                with open(path, "rb") as file:
                    data = file.read()
                if not data.rstrip().endswith(b"--") and b"multipart" in data[:4096].lower():
                    problems.append(f"{path}: the message is cut short")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", required=True)
    parser.add_argument("--corpus", required=True)
    args = parser.parse_args()
    if not os.path.isdir(args.corpus):
        print(f"no corpus at {args.corpus}", file=sys.stderr)
        return 1 if os.environ.get("CI") == "true" else 77
    stores = sorted(
        os.path.join(root, name)
        for root, _, names in os.walk(args.corpus)
        for name in names
        if name.endswith((".pst", ".ost"))
    )
    problems = []
    checked = 0
    with tempfile.TemporaryDirectory(prefix="velmora-convert-") as work:
        for n, store in enumerate(stores):
            checked += check_store(args.cli, store, os.path.join(work, str(n)), problems)
        check_refusals(
            args.cli, os.path.join(args.corpus, "unicode-plain.pst"), os.path.join(work, "r"), problems
        )
    for problem in problems[:200]:
        print(problem)
    print(f"{len(stores)} stores, {checked} messages read back, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
