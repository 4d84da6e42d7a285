"""Writes the C++ source that carries a plug-in's class reference.

Usage: doc_source_generator.py OUTPUT.cpp CLASS.xml...

The XML files are embedded byte for byte, in the order given, under a symbol whose
presence in a built library shows that the class reference was compiled in.
"""

import sys


def main(arguments):
    if len(arguments) < 2:
        sys.stderr.write("usage: doc_source_generator.py OUTPUT.cpp CLASS.xml...\n")
        return 2
    output_path, xml_paths = arguments[0], arguments[1:]
    data = b"".join(open(path, "rb").read() for path in xml_paths)
    lines = [
        "// Generated from %d class reference file(s); do not edit." % len(xml_paths),
        "namespace godot_cpp_standin {",
        "extern const unsigned char doc_source_data[];",
        "extern const unsigned long doc_source_size;",
        "const unsigned char doc_source_data[] = {",
    ]
    for start in range(0, len(data), 16):
        lines.append("\t" + ", ".join(str(byte) for byte in data[start : start + 16]) + ",")
    lines += ["\t0", "};", "const unsigned long doc_source_size = %d;" % len(data), "} // namespace godot_cpp_standin", ""]
    with open(output_path, "w", encoding="utf-8") as output:
        output.write("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
