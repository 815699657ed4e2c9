#!/usr/bin/env python3
"""The quorastelline_config Ansible module, run by ansible-playbook against
device simulators on loopback addresses: a device that differs is changed
and then left alone, an equal one is never written, check mode sends
nothing, and a device that does not answer fails its host only.

    test_module.py BUILD_DIR SOURCE_DIR     (exit 77 without ansible-playbook)
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

BUILD, SOURCE = sys.argv[1], sys.argv[2]
QST = os.path.join(BUILD, 'qst')
DEVSIM = os.path.join(BUILD, 'qst-devsim')
APPROVED = os.path.join(SOURCE, 'docs', 'example.qst')
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print('FAILED: ' + what, file=sys.stderr)


class Device:
    """A simulator on its own loopback address, logging what it receives."""

    def __init__(self, folder, name, address, *options):
        self.name = name
        self.log = os.path.join(folder, name + '.log')
        self.saved = os.path.join(folder, name + '-saved.qst')
        self.process = subprocess.Popen(
            [DEVSIM, '--listen', address, '--log', self.log, '--save', self.saved, *options],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.address, self.port = address, None
        for line in self.process.stdout:  # bounded: the simulator prints "ready" or exits
            words = line.split()
            if words[:1] == ['tcp']:
                self.port = int(words[2])
            if words == ['ready']:
                break
        if self.port is None:
            raise RuntimeError('simulator %s did not start' % name)

    def write_frames(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log) as log:
            return [line for line in log if line.startswith('frame ') and
                    bytes.fromhex(line.split()[1])[:4] == b'set ']

    def stop(self):
        self.process.stdin.close()
        self.process.wait(timeout=10)


def run_playbook(folder, devices, *options):
    inventory = os.path.join(folder, 'inventory.ini')
    with open(inventory, 'w') as out:
        out.write('[devices]\n')
        for d in devices:
            out.write('%s device_host=%s device_port=%d\n' % (d.name, d.address, d.port))
        out.write('[devices:vars]\nansible_connection=local\nansible_python_interpreter=%s\n' % sys.executable)
    playbook = os.path.join(folder, 'apply.yml')
    with open(playbook, 'w') as out:
        out.write('''- hosts: devices
  gather_facts: false
  tasks:
    - name: Apply the approved configuration
      quorastelline_config:
        src: "{{ src }}"
        host: "{{ device_host }}"
        port: "{{ device_port }}"
        qst: "{{ qst }}"
        timeout_ms: 300
      register: outcome
      ignore_errors: true
    - name: Keep what the module said, for the test to read
      copy:
        content: "{{ outcome | to_nice_json }}"
        dest: "{{ results }}/{{ inventory_hostname }}.json"
      check_mode: false
''')
    results = os.path.join(folder, 'results')
    shutil.rmtree(results, ignore_errors=True)
    os.makedirs(results)
    env = dict(os.environ, HOME=folder, ANSIBLE_LIBRARY=os.path.join(SOURCE, 'ansible', 'library'),
               ANSIBLE_LOCAL_TEMP=os.path.join(folder, 'tmp'), ANSIBLE_NOCOLOR='1', ANSIBLE_FORKS='10')
    run = subprocess.run(['ansible-playbook', '-i', inventory, playbook, '-e', 'src=' + APPROVED,
                          '-e', 'qst=' + QST, '-e', 'results=' + results, *options],
                         env=env, capture_output=True, text=True, timeout=120)
    found = {}
    for d in devices:
        path = os.path.join(results, d.name + '.json')
        if not os.path.exists(path):
            print(run.stdout, run.stderr, file=sys.stderr)
            raise RuntimeError('no result for ' + d.name)
        with open(path) as result:
            found[d.name] = json.load(result)
    return found


def main():
    if shutil.which('ansible-playbook') is None:
        print('ansible-playbook is not installed', file=sys.stderr)
        return 77
    folder = tempfile.mkdtemp()
    devices = []
    try:
        equal = Device(folder, 'equal', '127.0.3.1', '--config', APPROVED)
        different = Device(folder, 'different', '127.0.3.2')
        silent = Device(folder, 'silent', '127.0.3.3', '--silent', 'any')
        checked = Device(folder, 'checked', '127.0.3.4')
        devices = [equal, different, silent, checked]

        # Check mode first: the devices that differ would change, nothing is sent.
        results = run_playbook(folder, [equal, checked], '--check', '--diff')
        check(results['checked']['changed'] is True, 'check mode reports the different device as changed')
        check(results['equal']['changed'] is False, 'check mode reports the equal device unchanged')
        diff = results['checked'].get('diff', {})
        check('Database data age' in str(diff), 'check mode shows the differences as a diff')
        check(checked.write_frames() == [] and not os.path.exists(checked.saved), 'check mode sends no write frame')

        # The real run: changed, unchanged, failed, each on its own host.
        results = run_playbook(folder, [equal, different, silent])
        check(results['different']['changed'] is True and results['different']['outcome'] == 'changed',
              'the different device is changed')
        check(os.path.exists(different.saved), 'the different device took a configuration')
        check(results['equal']['changed'] is False and equal.write_frames() == [],
              'the equal device is unchanged and received no write frame')
        check(results['silent'].get('failed') is True and results['silent']['outcome'] == 'failed',
              'the silent device fails its host')
        check(not results['equal'].get('failed') and not results['different'].get('failed'),
              'the silent device fails no other host')

        # A second run finds nothing to do.
        writes_before = len(different.write_frames())
        results = run_playbook(folder, [equal, different])
        check(results['different']['changed'] is False, 'a second run reports no change')
        check(len(different.write_frames()) == writes_before, 'a second run sends no write frame')
    finally:
        for d in devices:
            d.stop()
        shutil.rmtree(folder, ignore_errors=True)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
