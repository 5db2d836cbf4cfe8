#!/usr/bin/python3
"""Lists the events each recorded game applied, in order, by running `fenwhit --check-replay`
under gdb with a breakpoint where an event is applied (a build with debug information, such
as RelWithDebInfo). For the table in tests/replays/README.md, and to see what a new game shows.

  events.py FENWHIT REPLAY...
"""
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DOUBLE = 4  # game.doubleEvent when the cycle brings a second event


def titles():
    """Event titles by number, from the catalogue's table."""
    with open(os.path.join(ROOT, "src/events/event_catalogue.cpp")) as f:
        text = f.read()
    auto = re.search(r'kAutoRotation\{"([^"]+)"', text).group(1)
    body = text[text.index("kCatalogue["):]
    body = body[body.index("{") + 1: body.index("};")]
    out = []
    for line in body.splitlines():
        line = line.strip()
        if line.startswith('{"'):
            out.append(line[2: line.index('"', 2)])
        elif line.startswith("kAutoRotation"):
            out.append(auto)
        elif line.startswith("kNone"):
            out.append("")
    return out


SCRIPT = """set pagination off
set print thread-events off
break fenwhit::applyEvent
commands
silent
printf "EVENT %d %d\\n", fenwhit::game.eventNumber, fenwhit::game.doubleEvent
continue
end
run
"""


def events(fenwhit, replay):
    with tempfile.NamedTemporaryFile("w", suffix=".gdb") as script:
        script.write(SCRIPT)
        script.flush()
        out = subprocess.run(["gdb", "-batch", "-nx", "-x", script.name, "--args", fenwhit,
                              "--check-replay", os.path.abspath(replay)],
                             capture_output=True, text=True,
                             env=dict(os.environ, SDL_VIDEODRIVER="offscreen",
                                      SDL_AUDIODRIVER="dummy")).stdout
    found = []
    for line in out.splitlines():
        if line.startswith("EVENT "):
            number, double = (int(w) for w in line.split()[1:])
            found.append((number, double == DOUBLE))
    verdict = [line for line in out.splitlines() if ": matches" in line or ": differs" in line]
    return found, verdict


def main():
    if len(sys.argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    names = titles()
    for replay in sys.argv[2:]:
        found, verdict = events(sys.argv[1], replay)
        words = []
        pending_and = False
        for number, first_of_two in found:
            title = "NO WAY (cancelled)" if number < 0 else (names[number] or "-")
            if pending_and:
                words[-1] += " AND " + title
            else:
                words.append(title)
            pending_and = first_of_two
        print(os.path.basename(replay) + ":", (verdict[0].split(": ", 1)[1] if verdict else "?"))
        print("  %d events: %s" % (len(found), "; ".join(words)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
