#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright 2026 Tamlin. All rights reserved.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: orvex_profile
short_description: Make Orvex fan-speed controllers hold a profile
version_added: "1.0.0"
description:
  - Makes the Orvex fan-speed controller on each of I(ports) hold the profile file I(src), writing
    only the controllers that do not hold it yet, by running C(orvexctl apply --json) on the managed
    host.
  - Each controller's profile is read first (about 6 seconds, all ports at the same time). A
    controller whose 320 stored bytes equal those of I(src) is left alone. Any other, or one that
    holds no profile, gets I(src) as C(orvexctl download) sends it, then it is read back and compared
    (about 30 seconds more). Each download goes to the download journal of the user the module runs
    as (C(orvexctl journal)).
  - The task fails when a controller does not hold the profile at the end (it could not be read or
    written, or its read-back differs); the other controllers are still done, and I(ports) says
    which failed and why.
  - A profile the window's rules would refuse, or a curve that stops the fan at its hot end, is
    refused unless I(force) is set.
options:
  src:
    description:
      - The profile file on the managed host, 320 bytes as the Tamlin Orvex Interface window or
        C(orvexctl encode) writes it.
    type: path
    required: true
  ports:
    description:
      - The controllers' serial devices on the managed host, such as C(/dev/ttyUSB0) or, better,
        their C(/dev/serial/by-id/) names.
    type: list
    elements: str
    required: true
    aliases: [port]
  orvexctl:
    description:
      - The orvexctl program to run; a name without a folder is looked up on the PATH.
    type: path
    default: orvexctl
  force:
    description:
      - Send a profile that the window's rules would refuse.
    type: bool
    default: false
attributes:
  check_mode:
    support: full
    description: Only reads the controllers (C(orvexctl apply --check)); nothing is written.
  diff_mode:
    support: full
    description: For each controller that differs, the fields it holds (before) and those of I(src) (after).
notes:
  - The user the module runs as must be allowed to open the serial devices (usually by the
    C(dialout) group).
  - The serial line's waits are fixed by the controller, so a run that writes takes about 40 seconds
    whatever the number of controllers.
requirements:
  - orvexctl (Tamlin Orvex Interface) on the managed host
author:
  - Tamlin Orvex Interface developers
"""

EXAMPLES = r"""
- name: Every controller on the rack holds the summer profile
  tamlin.orvex.orvex_profile:
    src: /srv/orvex/summer.dat
    ports:
      - /dev/serial/by-id/usb-FTDI_FT232R_A1B2C3D4-if00-port0
      - /dev/serial/by-id/usb-FTDI_FT232R_E5F6A7B8-if00-port0

- name: See what would change, without writing
  tamlin.orvex.orvex_profile:
    src: /srv/orvex/summer.dat
    port: /dev/ttyUSB0
  check_mode: true
  diff: true
"""

RETURN = r"""
ports:
  description: One entry a controller, as C(orvexctl apply --json) gives it.
  returned: when orvexctl ran
  type: list
  elements: dict
  contains:
    port:
      description: The serial device.
      type: str
      sample: /dev/ttyUSB0
    status:
      description: C(unchanged), C(changed), C(would change) (check mode) or C(failed).
      type: str
      sample: changed
    differences:
      description: >-
        The fields in which the controller's profile differed from I(src) before anything was
        written; C(a) the controller's value, C(b) the file's.
      type: list
      elements: dict
      sample: [{"key": "topBand", "a": "46", "b": "45"}]
    noProfile:
      description: The controller held no profile.
      type: bool
      returned: when it held none
    error:
      description: Why the controller does not hold the profile.
      type: str
      returned: when the status is failed
    reply:
      description: The controller's reply to the download.
      type: str
      returned: when a download was made
cmd:
  description: The command that was run.
  returned: always
  type: list
  elements: str
"""

import json

from ansible.module_utils.basic import AnsibleModule


def _fields(differences, side):
    return "".join("%s: %s\n" % (d.get("key", ""), d.get(side, "")) for d in differences)


def _diffs(src, ports):
    diffs = []
    for port in ports:
        differences = port.get("differences") or []
        if not differences and not port.get("noProfile"):
            continue
        if port.get("noProfile"):
            before = "(no profile)\n"
            after = "(the profile of %s)\n" % src
        else:
            before = _fields(differences, "a")
            after = _fields(differences, "b")
        diffs.append(
            {
                "before_header": port.get("port", ""),
                "after_header": src,
                "before": before,
                "after": after,
            }
        )
    return diffs


def main():
    module = AnsibleModule(
        argument_spec=dict(
            src=dict(type="path", required=True),
            ports=dict(type="list", elements="str", required=True, aliases=["port"]),
            orvexctl=dict(type="path", default="orvexctl"),
            force=dict(type="bool", default=False),
        ),
        supports_check_mode=True,
    )
    src = module.params["src"]
    ports = module.params["ports"]
    if not ports:
        module.fail_json(msg="ports names no controller")

    program = module.params["orvexctl"]
    if "/" not in program:
        program = module.get_bin_path(program, required=True)
    cmd = [program, "apply", "--json"]
    if module.check_mode:
        cmd.append("--check")
    if module.params["force"]:
        cmd.append("--force")
    for port in ports:
        cmd.extend(["--port", port])
    # "--" keeps a file name that starts with a dash a file name.
    cmd.extend(["--", src])

    rc, out, err = module.run_command(cmd)
    try:
        document = json.loads(out) if out.strip() else None
    except ValueError:
        document = None
    if not isinstance(document, dict):
        # A refusal or a usage error: orvexctl says why on stderr, and nothing was read or written.
        module.fail_json(
            msg=err.strip() or "orvexctl apply failed with status %d" % rc, rc=rc, cmd=cmd, stdout=out, stderr=err
        )

    results = document.get("ports", [])
    statuses = [p.get("status") for p in results]
    changed = any(s in ("changed", "would change") for s in statuses)
    outcome = dict(changed=changed, ports=results, cmd=cmd, rc=rc, stderr=err)
    if module._diff:
        outcome["diff"] = _diffs(src, results)
    failed = [p for p in results if p.get("status") == "failed"]
    if rc != 0 or failed or not document.get("ok", False):
        reasons = "; ".join("%s: %s" % (p.get("port", ""), p.get("error", "failed")) for p in failed)
        module.fail_json(msg=reasons or err.strip() or "orvexctl apply failed with status %d" % rc, **outcome)
    module.exit_json(**outcome)


if __name__ == "__main__":
    main()
