"""A JUnit report of named cases, for the checks that run as tests (the
test script counts every case from these reports)."""
from xml.sax.saxutils import escape, quoteattr


def write_junit(path, suite, cases):
    """cases: (name, failure text or None)."""
    failures = sum(1 for _, text in cases if text)
    with open(path, "w", encoding="utf-8") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n')
        f.write('<testsuites tests="%d" failures="%d">\n' % (len(cases), failures))
        f.write('  <testsuite name="%s" tests="%d" failures="%d">\n' % (suite, len(cases), failures))
        for name, text in cases:
            f.write('    <testcase name=%s classname="%s"' % (quoteattr(name), suite))
            if text:
                f.write('>\n      <failure message="fault">%s</failure>\n    </testcase>\n' % escape(text))
            else:
                f.write('/>\n')
        f.write('  </testsuite>\n</testsuites>\n')
