"""The type stubs (sxcmdif/_core.pyi) against the module they describe:
every name of the module has its stub and no stub names what is not there,
class by class, and each record class's constructor takes its fields in
field order."""

import ast
import enum
import pathlib

import sxcmdif._core as core

STUBS = pathlib.Path(__file__).resolve().parents[1] / "sxcmdif" / "_core.pyi"


def defined(body):
    """The names a stub body defines."""
    out = {}
    for node in body:
        if isinstance(node, (ast.FunctionDef, ast.ClassDef)):
            out[node.name] = node
        elif isinstance(node, ast.AnnAssign):
            out[node.target.id] = node
        elif isinstance(node, ast.Assign):
            out.update((t.id, node) for t in node.targets)
    return out


def public(names):
    return {n for n in names if not (n.startswith("__") and n.endswith("__"))}


STUB = defined(ast.parse(STUBS.read_text()).body)
# The stubs' own helpers: the record base class and its type variable.
HELPERS = {"_Record", "_R"}


def test_the_module_and_its_stubs_name_the_same_things():
    assert public(dir(core)) == public(STUB) - HELPERS


def test_every_class_has_the_members_its_stub_names():
    for name, node in STUB.items():
        if not isinstance(node, ast.ClassDef) or name in HELPERS:
            continue
        if any(isinstance(b, ast.Attribute) and b.attr == "IntEnum" for b in node.bases):
            assert issubclass(getattr(core, name), enum.IntEnum), name  # members: the vocabulary's
            continue
        cls = getattr(core, name)
        stub = set(defined(node.body))
        for base in node.bases:
            if isinstance(base, ast.Name) and base.id in HELPERS:
                stub |= set(defined(STUB[base.id].body))
        own = {n for n in vars(cls) if n != "_pybind11_conduit_v1_"}
        assert public(own) <= public(stub), name
        assert public(stub) <= public(dir(cls)), name


def test_record_constructors_take_the_fields_in_order():
    records = [n for n, node in STUB.items() if isinstance(node, ast.ClassDef) and
               any(isinstance(b, ast.Name) and b.id == "_Record" for b in node.bases)]
    assert len(records) == 26
    for name in records:
        init = defined(STUB[name].body)["__init__"]
        params = [a.arg for a in init.args.args[1:]]
        assert tuple(params) == getattr(core, name)._fields, name
