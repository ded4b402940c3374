#!/usr/bin/python3
"""Prints the front covers mutagen finds in an audio file, one line each:

    embedded_cover.py FILE

"<picture type> <MIME or -> <bytes> <SHA-256 of the image>" for every picture
of the file's own layout: FLAC PICTURE blocks, Ogg Vorbis
METADATA_BLOCK_PICTURE comments, ID3v2 APIC frames, the APEv2 item
"Cover Art (Front)" (type 3 by its name; APEv2 carries no MIME type) and ASF
WM/Picture attributes. Nothing for a file without one.
"""

import base64
import hashlib
import struct
import sys

import mutagen
from mutagen.apev2 import APEv2File
from mutagen.asf import ASF
from mutagen.flac import FLAC, Picture
from mutagen.mp3 import MP3
from mutagen.oggvorbis import OggVorbis


def line(kind, mime, data):
    print(kind, mime or "-", len(data), hashlib.sha256(data).hexdigest())


def asf_picture(value):
    kind, size = struct.unpack_from("<BI", value, 0)
    at = 5
    texts = []
    for _ in range(2):
        end = at
        while value[end:end + 2] != b"\0\0":
            end += 2
        texts.append(value[at:end].decode("utf-16-le"))
        at = end + 2
    return kind, texts[0], value[at:at + size]


path = sys.argv[1]
audio = mutagen.File(path)
if isinstance(audio, FLAC):
    for picture in audio.pictures:
        line(picture.type, picture.mime, picture.data)
elif isinstance(audio, OggVorbis):
    for encoded in audio.get("metadata_block_picture", []):
        picture = Picture(base64.b64decode(encoded))
        line(picture.type, picture.mime, picture.data)
elif isinstance(audio, MP3):
    for frame in (audio.tags.getall("APIC") if audio.tags else []):
        line(int(frame.type), frame.mime, frame.data)
elif isinstance(audio, ASF):
    for attribute in audio.get("WM/Picture", []):
        kind, mime, data = asf_picture(attribute.value)
        line(kind, mime, data)
elif isinstance(audio, APEv2File) or path.endswith(".ape"):
    tags = audio.tags if audio is not None else None
    if tags is not None and "Cover Art (Front)" in tags:
        value = tags["Cover Art (Front)"].value
        line(3, None, value[value.index(b"\0") + 1:])
else:
    sys.exit("no reader for " + path)
