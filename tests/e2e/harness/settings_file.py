"""Serimo's settings file as the tests read and write it: the INI file
QSettings writes, with the window's settings record as a byte array."""

import os
import struct

from .checks import TestFailure, check

# The window settings record: bounds of the outer frame (left, top, right,
# bottom), feed interval in ms, reserved byte, show hints, show text, show
# URL, four reserved bytes; little-endian, 28 bytes.
RECORD = struct.Struct("<iiiiIBBBB4s")
RECORD_FIELDS = ("left", "top", "right", "bottom", "interval", "reserved20",
                 "hints", "text", "url", "reserved24")


def encode_record(**fields):
    return RECORD.pack(*(fields[name] for name in RECORD_FIELDS))


def decode_record(data):
    check(len(data) == RECORD.size,
          "settings record is %d bytes, expected %d: %r" % (len(data), RECORD.size, data))
    return dict(zip(RECORD_FIELDS, RECORD.unpack(data)))


_INI_ESCAPES = {"a": "\a", "b": "\b", "f": "\f", "n": "\n", "r": "\r", "t": "\t",
                "v": "\v", '"': '"', "'": "'", "?": "?", "\\": "\\"}


def _ini_unescape(raw):
    """The value of one line of an INI file written by QSettings: quotes,
    backslash escapes (named, \\x hex, octal), a comment after ';'."""
    out, quoted, i = [], False, 0
    raw = raw.strip()
    while i < len(raw):
        ch = raw[i]
        i += 1
        if ch == '"':
            quoted = not quoted
        elif ch == "\\" and i < len(raw):
            code = raw[i]
            i += 1
            if code == "x":
                digits = ""
                while i < len(raw) and raw[i] in "0123456789abcdefABCDEF":
                    digits += raw[i]
                    i += 1
                out.append(chr(int(digits or "0", 16)))
            elif code in "01234567":
                digits = code
                while i < len(raw) and raw[i] in "01234567":
                    digits += raw[i]
                    i += 1
                out.append(chr(int(digits, 8)))
            else:
                out.append(_INI_ESCAPES.get(code, code))
        elif ch == ";" and not quoted:
            break
        elif ch == "," and not quoted:
            raise TestFailure("unexpected list value in settings file: %r" % raw)
        else:
            out.append(ch)
    return "".join(out)


def read_settings(path):
    """The values of the [General] section: str, or bytes for @ByteArray."""
    values, section = {}, None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith(";"):
                continue
            if line.startswith("["):
                section = line
                continue
            check(section == "[General]", "value outside [General] in %s: %r" % (path, line))
            key, _, raw = line.partition("=")
            value = _ini_unescape(raw)
            if value.startswith("@ByteArray(") and value.endswith(")"):
                value = value[len("@ByteArray("):-1].encode("latin-1")
            values[key.strip()] = value
    return values


def write_settings(path, values):
    """Writes values (str or bytes) as QSettings reads them back. Every byte
    of a byte array is written as a hex escape; strings must be plain."""
    lines = ["[General]"]
    for key, value in values.items():
        if isinstance(value, bytes):
            text = "@ByteArray(%s)" % "".join("\\x%02x" % b for b in value)
        else:
            check(all(" " < ch < "\x7f" and ch not in ';,="\\@' for ch in value),
                  "write_settings takes plain strings only: %r" % value)
            text = value
        lines.append("%s=%s" % (key, text))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


def store_feed_start(settings_path, url, interval):
    """Stores a small window on `url` with a feed delay of `interval` ms, every
    view switch on, as a feed test's start."""
    record = encode_record(left=40, top=40, right=340, bottom=200, interval=interval,
                           reserved20=0, hints=1, text=1, url=1, reserved24=bytes(4))
    write_settings(settings_path, {"LastURL": url, "Serimo_099": record})
