"""The letter shapes of the game's face, as stroke paths on a small grid.

Grid: x runs 0..8 across a letter and y 0..18 from the cap line to the
baseline; strokes are 2 units wide unless a path says otherwise with a
leading "w<width>:". Paths are separated by ";", points by spaces. Round
letters get 2-unit chamfers instead of curves, which gives the face its
machined look. Lower case is drawn as small capitals.
"""

STROKE = 2.0
X_HEIGHT_TOP = 6.0  # where small capitals start

UPPER = {
    "A": "0,18 0,3 3,0 5,0 8,3 8,18; 0,10 8,10",
    "B": "0,0 6,0 8,2 8,7 6,9 8,11 8,16 6,18 0,18 0,0; 0,9 6,9",
    "C": "8,0 2,0 0,2 0,16 2,18 8,18",
    "D": "0,0 6,0 8,2 8,16 6,18 0,18 0,0",
    "E": "8,0 0,0 0,18 8,18; 0,9 6,9",
    "F": "8,0 0,0 0,18; 0,9 6,9",
    "G": "8,0 2,0 0,2 0,16 2,18 8,18 8,10 4,10",
    "H": "0,0 0,18; 8,0 8,18; 0,9 8,9",
    "I": "4,0 4,18; 1,0 7,0; 1,18 7,18",
    "J": "8,0 8,16 6,18 2,18 0,16 0,13",
    "K": "0,0 0,18; 0,9 3,9 8,2 8,0; 3,9 8,16 8,18",
    "L": "0,0 0,18 8,18",
    "M": "0,18 0,0 4,7 8,0 8,18",
    "N": "0,18 0,0 8,18 8,0",
    "O": "2,0 6,0 8,2 8,16 6,18 2,18 0,16 0,2 2,0",
    "P": "0,18 0,0 6,0 8,2 8,8 6,10 0,10",
    "Q": "2,0 6,0 8,2 8,16 6,18 2,18 0,16 0,2 2,0; 4,13 8,18",
    "R": "0,18 0,0 6,0 8,2 8,8 6,10 0,10; 6,10 8,12 8,18",
    "S": "8,0 2,0 0,2 0,7 2,9 6,9 8,11 8,16 6,18 0,18",
    "T": "0,0 8,0; 4,0 4,18",
    "U": "0,0 0,16 2,18 6,18 8,16 8,0",
    "V": "0,0 0,12 4,18 8,12 8,0",
    "W": "0,0 0,18 4,11 8,18 8,0",
    "X": "0,0 0,4 8,14 8,18; 8,0 8,4 0,14 0,18",
    "Y": "0,0 0,7 2,9 6,9 8,7 8,0; 4,9 4,18",
    "Z": "0,0 8,0 8,4 0,14 0,18 8,18",
}

DIGITS = {
    "0": "2,0 6,0 8,2 8,16 6,18 2,18 0,16 0,2 2,0; 4,7 4,11",
    "1": "1,3 4,0 4,18; 1,18 7,18",
    "2": "0,2 2,0 6,0 8,2 8,7 6,9 2,9 0,11 0,18 8,18",
    "3": "0,0 6,0 8,2 8,16 6,18 0,18; 2,9 8,9",
    "4": "0,0 0,11 8,11; 6,5 6,18",
    "5": "8,0 0,0 0,8 6,8 8,10 8,16 6,18 0,18",
    "6": "8,0 2,0 0,2 0,16 2,18 6,18 8,16 8,11 6,9 0,9",
    "7": "0,0 8,0 8,4 4,10 4,18",
    "8": "2,0 6,0 8,2 8,7 6,9 8,11 8,16 6,18 2,18 0,16 0,11 2,9 0,7 0,2 2,0; 2,9 6,9",
    "9": "8,9 2,9 0,7 0,2 2,0 6,0 8,2 8,16 6,18 0,18",
}

PUNCTUATION = {
    " ": "",
    "!": "4,0 4,12; 4,18",
    '"': "2,0 2,4; 6,0 6,4",
    "#": "2,2 2,16; 6,2 6,16; 0,6 8,6; 0,12 8,12",
    "$": "8,1 2,1 0,3 0,7 2,9 6,9 8,11 8,15 6,17 0,17; 4,-2 4,20",
    "%": "8,0 0,18; w1.5:0,0 3,0 3,4 0,4 0,0; w1.5:5,14 8,14 8,18 5,18 5,14",
    "&": "8,18 1,8 1,2 3,0 5,0 7,2 7,5 0,11 0,16 2,18 5,18 8,13",
    "'": "4,0 4,4",
    "*": "4,4 4,14; 0,6 8,12; 0,12 8,6",
    "+": "4,5 4,13; 0,9 8,9",
    ",": "4,17 4,19 2,21",
    "-": "1,9 7,9",
    ".": "4,18",
    "/": "8,0 0,18",
    ":": "4,8; 4,18",
    ";": "4,8; 4,17 4,19 2,21",
    "<": "8,2 0,9 8,16",
    "=": "0,6 8,6; 0,12 8,12",
    ">": "0,2 8,9 0,16",
    "?": "0,2 2,0 6,0 8,2 8,6 6,8 4,8 4,12; 4,18",
    "@": "6,18 2,18 0,16 0,2 2,0 6,0 8,2 8,13 3,13 3,5 8,5",
    "[": "6,0 2,0 2,18 6,18",
    "\\": "0,0 8,18",
    "]": "2,0 6,0 6,18 2,18",
    "^": "1,5 4,1 7,5",
    "_": "0,20 8,20",
    "`": "3,0 5,3",
    "{": "6,0 4,0 3,1 3,8 1,9 3,10 3,17 4,18 6,18",
    "|": "4,-2 4,20",
    "}": "2,0 4,0 5,1 5,8 7,9 5,10 5,17 4,18 2,18",
    "~": "0,10 2,8 6,10 8,8",
}


def parse(spec):
    """Turns a path string into a list of (points, width) in grid units."""
    strokes = []
    for part in spec.split(";"):
        part = part.strip()
        if not part:
            continue
        width = STROKE
        if part.startswith("w"):
            head, part = part.split(":", 1)
            width = float(head[1:])
        points = [tuple(float(v) for v in pair.split(",")) for pair in part.split()]
        strokes.append((points, width))
    return strokes


def transform(strokes, sx=1.0, sy=1.0, dx=0.0, dy=0.0, width=None):
    """Scales then shifts every point; `width` replaces the stroke width when given."""
    return [([(x * sx + dx, y * sy + dy) for x, y in points], width or w)
            for points, w in strokes]


def small_capital(strokes):
    """Squeezes a capital between the x-height line and the baseline."""
    sy = (18.0 - X_HEIGHT_TOP) / 18.0
    return transform(strokes, sy=sy, dy=X_HEIGHT_TOP)


def ascii_glyphs():
    """Stroke lists for the printable ASCII characters except the two marks."""
    table = {}
    for source in (UPPER, DIGITS, PUNCTUATION):
        for ch, spec in source.items():
            table[ch] = parse(spec)
    for ch in UPPER:
        table[ch.lower()] = small_capital(table[ch])
    return table
