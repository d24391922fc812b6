"""The level map written out again from its rules, so that the scripts judging korvane's
outputs do not take the rule from korvane itself."""


def map_level(v, d, vol):
    if v == 0:
        return 0
    a = float(int(float(d * (v - 64)) * 0.002 + 64.0))
    c = vol * 0.001
    r = ((1.0 - c) * a) * 2.0 if c > 0.5 else 127.0 - ((127.0 - a) * c) * 2.0
    return max(1, min(127, int(r)))
