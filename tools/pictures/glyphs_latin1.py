"""The upper half of Latin-1 (160..255), built from the same grid as the ASCII letters.

Accented letters are a base letter plus an accent path. Accents are drawn
between y -2.5 and 0 of their own frame and lifted above capitals or above
the small capitals used for lower case.
"""

from glyphs import X_HEIGHT_TOP, parse, small_capital, transform

THIN = 1.5

ACCENTS = {
    "grave": "2.5,-2.5 5,0",
    "acute": "3,0 5.5,-2.5",
    "circumflex": "1.5,0 4,-2.5 6.5,0",
    "tilde": "1,-0.5 3,-2 5,-0.5 7,-2",
    "diaeresis": "w2:2,-1; w2:6,-1",
    "ring": "2.5,-3 5.5,-3 5.5,0 2.5,0 2.5,-3",
}
CEDILLA = "4,19 4,21 2,22"
CAPITAL_ACCENT_Y = -3.0
SMALL_ACCENT_Y = X_HEIGHT_TOP - 3.0

# code point of each accented capital: (base letter, accent); lower case is code + 32
ACCENTED = {
    0xC0: ("A", "grave"), 0xC1: ("A", "acute"), 0xC2: ("A", "circumflex"),
    0xC3: ("A", "tilde"), 0xC4: ("A", "diaeresis"), 0xC5: ("A", "ring"),
    0xC7: ("C", "cedilla"),
    0xC8: ("E", "grave"), 0xC9: ("E", "acute"), 0xCA: ("E", "circumflex"),
    0xCB: ("E", "diaeresis"),
    0xCC: ("I", "grave"), 0xCD: ("I", "acute"), 0xCE: ("I", "circumflex"),
    0xCF: ("I", "diaeresis"),
    0xD1: ("N", "tilde"),
    0xD2: ("O", "grave"), 0xD3: ("O", "acute"), 0xD4: ("O", "circumflex"),
    0xD5: ("O", "tilde"), 0xD6: ("O", "diaeresis"),
    0xD9: ("U", "grave"), 0xDA: ("U", "acute"), 0xDB: ("U", "circumflex"),
    0xDC: ("U", "diaeresis"),
    0xDD: ("Y", "acute"),
}

# capitals with no ASCII base, and their small-capital partners 32 places on
SPECIAL_CAPITALS = {
    0xC6: "0,18 0,3 3,0 8,0; 4,0 4,18 8,18; 0,9 7,9",  # AE
    0xD0: "0,0 6,0 8,2 8,16 6,18 0,18 0,0; w1.5:-2,9 3,9",  # Eth
    0xD8: "2,0 6,0 8,2 8,16 6,18 2,18 0,16 0,2 2,0; w1.5:8,-1 0,19",  # O stroke
    0xDE: "0,0 0,18; 0,4 6,4 8,6 8,10 6,12 0,12",  # Thorn
}

SYMBOLS = {
    0xA0: "",
    0xA1: "4,0; 4,6 4,18",
    0xA3: "8,2 6,0 4,0 2,2 2,18; 0,9 6,9; 0,18 8,18",
    0xA4: "w1.5:2,6 6,6 6,12 2,12 2,6; w1.5:0,4 2,6; w1.5:8,4 6,6; w1.5:0,14 2,12; w1.5:8,14 6,12",
    0xA5: "0,0 4,8 8,0; 4,8 4,18; w1.5:1,11 7,11; w1.5:1,14.5 7,14.5",
    0xA6: "4,-1 4,7; 4,11 4,19",
    0xA7: "w1.5:7,0 1,0 0,1 0,5 8,9 8,12; w1.5:0,6 0,9 8,13 8,17 7,18 1,18",
    0xA9: "2,0 6,0 8,2 8,16 6,18 2,18 0,16 0,2 2,0; w1.5:5.5,6 3,6 3,12 5.5,12",
    0xAB: "4,5 1,9 4,13; 8,5 5,9 8,13",
    0xAC: "0,8 8,8 8,12",
    0xAD: "1,9 7,9",
    0xAE: "2,0 6,0 8,2 8,16 6,18 2,18 0,16 0,2 2,0; w1.5:3,13 3,5 5.5,5 5.5,9 3,9; w1.5:5,9 5.5,13",
    0xAF: "w1.5:1,-3 7,-3",
    0xB0: "w1.5:2,0 6,0 6,4 2,4 2,0",
    0xB1: "4,2 4,11; 0,6.5 8,6.5; 0,16 8,16",
    0xB5: "0,6 0,22; 0,16 2,18 6,18 8,16 8,6",
    0xB6: "8,0 3,0 1,2 1,6 3,8 5,8; 5,0 5,18; 8,0 8,18",
    0xB7: "4,9",
    0xB8: "w1.5:" + CEDILLA,
    0xBB: "0,5 3,9 0,13; 4,5 7,9 4,13",
    0xBF: "4,0; 4,6 4,10 2,10 0,12 0,16 2,18 6,18 8,16",
    0xD7: "1,5 7,13; 7,5 1,13",
    0xDF: "0,18 0,2 2,0 6,0 8,2 8,7 6,9 4,9; 6,9 8,11 8,16 6,18 4,18",
    0xF7: "0,9 8,9; 4,4; 4,14",
}


def _accent(name, lift):
    if name == "cedilla":
        return parse("w%g:%s" % (THIN, CEDILLA))
    return transform(parse(ACCENTS[name]), dy=lift, width=THIN)


def _superscript(strokes, dx=1.8, dy=0.0):
    return transform(strokes, sx=0.55, sy=0.42, dx=dx, dy=dy, width=THIN)


def _fraction(ascii_table, top, bottom):
    little = dict(sx=0.45, sy=0.42, width=THIN)
    return (transform(ascii_table[top], dx=0.0, dy=0.0, **little)
            + parse("w%g:7,1 1,17" % THIN)
            + transform(ascii_table[bottom], dx=4.4, dy=10.4, **little))


def latin1_glyphs(ascii_table):
    """Stroke lists keyed by byte value for 160..255."""
    table = {code: parse(spec) for code, spec in SYMBOLS.items()}
    table[0xA2] = small_capital(ascii_table["C"]) + parse("w%g:4,3 4,21" % THIN)
    table[0xA8] = _accent("diaeresis", CAPITAL_ACCENT_Y)
    table[0xB4] = _accent("acute", CAPITAL_ACCENT_Y)
    underline = parse("w%g:1,11 7,11" % THIN)
    table[0xAA] = _superscript(ascii_table["A"]) + underline
    table[0xBA] = _superscript(ascii_table["O"]) + underline
    table[0xB2] = _superscript(ascii_table["2"])
    table[0xB3] = _superscript(ascii_table["3"])
    table[0xB9] = _superscript(ascii_table["1"])
    table[0xBC] = _fraction(ascii_table, "1", "4")
    table[0xBD] = _fraction(ascii_table, "1", "2")
    table[0xBE] = _fraction(ascii_table, "3", "4")
    for code, spec in SPECIAL_CAPITALS.items():
        table[code] = parse(spec)
        table[code + 32] = small_capital(table[code])
    for code, (base, accent) in ACCENTED.items():
        capital = ascii_table[base]
        table[code] = capital + _accent(accent, CAPITAL_ACCENT_Y)
        table[code + 32] = small_capital(capital) + _accent(accent, SMALL_ACCENT_Y)
    table[0xFF] = small_capital(ascii_table["Y"]) + _accent("diaeresis", SMALL_ACCENT_Y)
    return table
