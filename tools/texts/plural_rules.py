"""Plural rules: the C expressions of the PO headers' Plural-Forms fields,
evaluated here and emitted as C++ for the Windows programs.

An expression may use n, integer literals, parentheses, ! % * / + - < <= > >=
== != && || and ?: with C's precedence, which is all that Plural-Forms
expressions use.
"""

import re

TOKEN = re.compile(r"\s*(?:(\d+)|(n)|(&&|\|\||==|!=|<=|>=|[-+*/%<>!?:()]))")


class RuleError(Exception):
    pass


def tokenize(expression):
    tokens = []
    position = 0
    text = expression.strip()
    while position < len(text):
        match = TOKEN.match(text, position)
        if not match or match.end() == position:
            raise RuleError("cannot read %r at %d" % (expression, position))
        number, variable, operator = match.groups()
        tokens.append(int(number) if number is not None else (variable or operator))
        position = match.end()
    return tokens


# Binary operators by precedence, loosest first.
LEVELS = [["||"], ["&&"], ["==", "!="], ["<", "<=", ">", ">="], ["+", "-"], ["*", "/", "%"]]


class Parser:
    def __init__(self, expression):
        self.tokens = tokenize(expression)
        self.at = 0

    def peek(self):
        return self.tokens[self.at] if self.at < len(self.tokens) else None

    def take(self, expected=None):
        token = self.peek()
        if token is None or (expected is not None and token != expected):
            raise RuleError("expected %r, found %r" % (expected, token))
        self.at += 1
        return token

    def parse(self):
        tree = self.conditional()
        if self.peek() is not None:
            raise RuleError("unexpected %r" % (self.peek(),))
        return tree

    def conditional(self):
        test = self.binary(0)
        if self.peek() == "?":
            self.take("?")
            then = self.conditional()
            self.take(":")
            otherwise = self.conditional()
            return ("?", test, then, otherwise)
        return test

    def binary(self, level):
        if level == len(LEVELS):
            return self.unary()
        left = self.binary(level + 1)
        while self.peek() in LEVELS[level]:
            operator = self.take()
            left = (operator, left, self.binary(level + 1))
        return left

    def unary(self):
        token = self.peek()
        if token == "!":
            self.take()
            return ("!", self.unary())
        if token == "(":
            self.take("(")
            inner = self.conditional()
            self.take(")")
            return inner
        if token == "n":
            self.take()
            return "n"
        if isinstance(token, int):
            self.take()
            return token
        raise RuleError("unexpected %r" % (token,))


def compile_rule(expression):
    """A function of n giving the plural form's index."""
    tree = Parser(expression).parse()

    def value(node, n):
        if node == "n":
            return n
        if isinstance(node, int):
            return node
        operator = node[0]
        if operator == "?":
            return value(node[2], n) if value(node[1], n) else value(node[3], n)
        if operator == "!":
            return int(not value(node[1], n))
        a = value(node[1], n)
        if operator == "&&":
            return int(bool(a) and bool(value(node[2], n)))
        if operator == "||":
            return int(bool(a) or bool(value(node[2], n)))
        b = value(node[2], n)
        if operator in ("/", "%") and b == 0:
            raise RuleError("division by zero")
        return {
            "==": lambda: int(a == b), "!=": lambda: int(a != b), "<": lambda: int(a < b),
            "<=": lambda: int(a <= b), ">": lambda: int(a > b), ">=": lambda: int(a >= b),
            "+": lambda: a + b, "-": lambda: a - b, "*": lambda: a * b,
            "/": lambda: a // b, "%": lambda: a % b,
        }[operator]()

    return lambda n: value(tree, n)


def c_expression(expression):
    """The expression as C++ over an unsigned long n (checked to parse)."""
    Parser(expression).parse()
    return " ".join(expression.split())


# For the web page: a number of each Intl.PluralRules category that the
# browsers give for whole numbers, per language. The PO rule evaluated at
# that number gives the category's form. "other" is included for every
# language; where whole numbers never reach it (Polish, Russian), it takes
# the form of "many".
CATEGORY_SAMPLES = {
    "en": {"one": 1, "other": 2},
    "de": {"one": 1, "other": 2},
    "nl": {"one": 1, "other": 2},
    "tr": {"one": 1, "other": 2},
    "fr": {"one": 1, "many": 1000000, "other": 2},
    "es": {"one": 1, "many": 1000000, "other": 2},
    "it": {"one": 1, "many": 1000000, "other": 2},
    "pt-BR": {"one": 1, "many": 1000000, "other": 2},
    "pl": {"one": 1, "few": 2, "many": 5, "other": 5},
    "ru": {"one": 1, "few": 2, "many": 5, "other": 5},
    "ja": {"other": 1},
    "zh-CN": {"other": 1},
    "ko": {"other": 1},
}


def category_forms(tag, expression):
    """{category: form index} for the browsers' plural categories."""
    rule = compile_rule(expression)
    return {category: rule(n) for category, n in CATEGORY_SAMPLES[tag].items()}
