#!/usr/bin/python3
# Brings one Quorastelline device to an approved configuration, through qst.

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: quorastelline_config
short_description: Apply a Quorastelline configuration to one device
description:
  - Reads the device's configuration, compares it with the approved one in
    C(src), and writes it only when they differ; the write is read back and
    compared.
  - By default the device keeps its own IP settings (address, mask,
    gateway, boot loader port and MAC address) and only the general
    settings and the nodes of C(src) are applied; the I(ip), I(mask),
    I(gateway), I(mac) and I(bootloader_port) options set them.
  - All device work is done by the C(qst) command of the Quorastelline
    Configuration Utility (C(qst apply)); this module only runs it.
  - Supports check mode (compare only, nothing is sent) and diff mode (the
    differences, field by field, as the utility names them).
version_added: "1.0.0"
author: TARVEN
options:
  src:
    description: The approved configuration, a C(.qst) file or a JSON export (C(qst export)).
    type: path
    required: true
  host:
    description: The device's address over TCP. One of I(host) and I(serial) is required.
    type: str
  port:
    description: The device's TCP port.
    type: int
    default: 23
  serial:
    description: The serial device the device is reached on, for example C(/dev/ttyUSB0).
    type: str
  baud:
    description: The serial line's speed.
    type: int
    default: 9600
  ip:
    description: The IP address the device is to have; unset, it keeps its own.
    type: str
  mask:
    description: The subnet mask the device is to have; unset, it keeps its own.
    type: str
  gateway:
    description: The gateway the device is to have; unset, it keeps its own.
    type: str
  mac:
    description: The MAC address the device is to have (HH:HH:HH:HH:HH:HH); unset, it keeps its own.
    type: str
  bootloader_port:
    description: The boot loader port the device is to have; unset, it keeps its own.
    type: int
  confirm:
    description:
      - Write configurations that C(qst write) would ask about (no Control
        link, write protect set, errors found by the check, data lost on an
        older device). Without it such a configuration fails the task and
        nothing is sent.
    type: bool
    default: false
  qst:
    description: The C(qst) program to run.
    type: path
    default: qst
  timeout_ms:
    description: Silence that ends an attempt over TCP, in milliseconds.
    type: int
    default: 5000
notes:
  - Runs on the machine that reaches the device (usually C(connection: local) or C(delegate_to)).
'''

EXAMPLES = r'''
- name: Line 2 presses run the approved configuration
  hosts: presses
  connection: local
  gather_facts: false
  tasks:
    - name: Apply plant.qst, each press keeping its IP settings but its gateway
      quorastelline_config:
        src: files/plant.qst
        host: "{{ device_address }}"
        gateway: 10.20.0.1
'''

RETURN = r'''
outcome:
  description: What happened to the device, as C(qst apply) reports it.
  returned: always
  type: str
  sample: changed
differences:
  description: The differences found before any write (field, before = the device's value, after = the approved one).
  returned: always
  type: list
  elements: dict
written:
  description: Whether a configuration was written.
  returned: always
  type: bool
'''

import json
import os
import tempfile

from ansible.module_utils.basic import AnsibleModule


def target_line(params):
    if params['host']:
        words = ['--tcp', '%s:%d' % (params['host'], params['port'])]
    else:
        words = ['--serial', '%s:%d' % (params['serial'], params['baud'])]
    for option, key in (('ip', 'ip'), ('mask', 'mask'), ('gateway', 'gateway'), ('mac', 'mac'),
                        ('bootloader_port', 'bootloader-port')):
        if params[option] is not None:
            words.append('%s=%s' % (key, params[option]))
    return ' '.join(words)


def diff_text(differences, side):
    return ''.join('%s: %s\n' % (d['field'], d[side]) for d in differences)


def main():
    module = AnsibleModule(
        argument_spec=dict(
            src=dict(type='path', required=True),
            host=dict(type='str'),
            port=dict(type='int', default=23),
            serial=dict(type='str'),
            baud=dict(type='int', default=9600),
            ip=dict(type='str'),
            mask=dict(type='str'),
            gateway=dict(type='str'),
            mac=dict(type='str'),
            bootloader_port=dict(type='int'),
            confirm=dict(type='bool', default=False),
            qst=dict(type='path', default='qst'),
            timeout_ms=dict(type='int', default=5000),
        ),
        required_one_of=[('host', 'serial')],
        mutually_exclusive=[('host', 'serial')],
        supports_check_mode=True,
    )
    params = module.params
    if not os.path.exists(params['src']):
        module.fail_json(msg='src %s does not exist' % params['src'])

    with tempfile.NamedTemporaryFile('w', suffix='.inventory', delete=False) as inventory:
        inventory.write(target_line(params) + '\n')
    try:
        command = [params['qst'], 'apply', params['src'], '--inventory', inventory.name, '--json',
                   '--timeout', str(params['timeout_ms'])]
        if module.check_mode:
            command.append('--check')
        if params['confirm']:
            command.append('--yes')
        rc, out, err = module.run_command(command)
    finally:
        os.unlink(inventory.name)

    try:
        device = json.loads(out)['devices'][0]
    except (ValueError, KeyError, IndexError):
        module.fail_json(msg='qst apply gave no result: %s' % (err.strip() or out.strip()), rc=rc,
                         stdout=out, stderr=err, cmd=command)

    differences = device.get('differences', [])
    result = dict(outcome=device['outcome'], differences=differences, written=device.get('written', False),
                  # A write the read-back disproved still changed the device.
                  changed=device['outcome'] in ('changed', 'would change') or device.get('written', False))
    if module._diff and differences:
        result['diff'] = dict(before=diff_text(differences, 'before'), after=diff_text(differences, 'after'),
                              before_header='device', after_header=params['src'])
    if device['outcome'] == 'failed':
        module.fail_json(msg=device.get('reason', 'failed'), stderr=err, **result)
    module.exit_json(**result)


if __name__ == '__main__':
    main()
