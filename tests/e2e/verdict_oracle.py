"""An independent verdict judge, written from the rules of answer checking
(not from the player's code), so the random-use test can tell what every
verdict label ought to read. Texts are bytes in Windows-1252, one byte per
character, at most 259 of them (what the player reads from a box)."""

TEXT_LIMIT = 259

EMPTY, RIGHT, WRONG = "?", "BRAVO", "FAUX"
ANAGRAM, ONE_EDIT, TWO_EDITS = "Anagramme", "Quasiment", "Presque"
TOO_SHORT, NOT_FAR, TOO_LONG, CLOSE = "Trop court", "pas loin", "Trop long", "y a de l'id\u00e9e"


def fold(text):
    """Only a..z become capitals; accented letters and everything else stay."""
    return bytes(c - 32 if 0x61 <= c <= 0x7A else c for c in text)


def trim(text):
    """Only the space byte, only at the two ends."""
    return text.strip(b" ")


def distance(a, b):
    """Levenshtein distance on bytes: insert, delete, substitute, each 1."""
    if not a:
        return len(b)
    if not b:
        return len(a)
    row = list(range(len(b) + 1))
    for i in range(1, len(a) + 1):
        previous, row[0] = row[0], i
        for j in range(1, len(b) + 1):
            here = min(row[j] + 1, row[j - 1] + 1, previous + (a[i - 1] != b[j - 1]))
            previous, row[j] = row[j], here
    return row[len(b)]


def scan(answer, typed):
    """+2 when the answer lies inside a typed text at least as long, -2 when a shorter typed text lies
    inside the answer, else 0. One forward pass that restarts at the mismatching byte, so an occurrence
    overlapping a failed partial match is missed (AAB is not found in AAAB)."""
    if len(typed) < len(answer):
        short, long_, sign = typed, answer, -1
    else:
        short, long_, sign = answer, typed, 1
    if not short:
        return sign
    i = 0
    while True:
        if i >= len(long_):
            return 0
        while i < len(long_) and long_[i] != short[0]:
            i += 1
        if i >= len(long_):
            return 0
        j = count = 0
        while j < len(short) and i < len(long_) and short[j] == long_[i]:
            i += 1
            j += 1
            count += 1
        if count == len(short):
            return 2 * sign


def verdict(accepted, typed):
    """The label text for a box holding `typed` whose accepted answer is `accepted` (both bytes)."""
    t = fold(trim(typed[:TEXT_LIMIT]))
    a = fold(accepted[:TEXT_LIMIT])
    if not t:
        return EMPTY
    if len(a) <= 3:
        return RIGHT if t == a else WRONG
    d = distance(a, t)
    if d == 0:
        return RIGHT
    if sorted(a) == sorted(t):
        return ANAGRAM
    if d == 1:
        return ONE_EDIT
    if d == 2:
        return TWO_EDITS
    found = scan(a, t)
    if found == -2:
        if len(a) <= 9:
            return WRONG
        if 10 * len(t) > 7 * len(a):
            return TOO_SHORT
        if 2 * len(t) > len(a):
            return NOT_FAR
        return WRONG
    if found == 2:
        return TOO_LONG
    longer = max(len(a), len(t))
    return CLOSE if longer > 5 * d else WRONG


def score(labels, per_question):
    """Questions whose every box reads BRAVO; labels in box order."""
    questions = [labels[i:i + per_question] for i in range(0, len(labels), per_question)]
    return sum(1 for q in questions if all(v == RIGHT for v in q))
