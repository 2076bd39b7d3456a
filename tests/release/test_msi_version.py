"""What the MSI's version and product code are made of."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "cmake", "release"))

from msi_package import PackageFailed, installer_version, product_code  # noqa: E402


class InstallerVersionTest(unittest.TestCase):
    def test_versions_windows_installer_takes(self):
        for version, expected in [
            ("1.0.0.6", "1.0.0.6"),
            ("0.9.0", "0.9.0"),
            ("255.255.65535.65535", "255.255.65535.65535"),
            ("01.2.3", "1.2.3"),
        ]:
            with self.subTest(version=version):
                self.assertEqual(expected, installer_version(version))

    def test_versions_it_refuses(self):
        for version in ["1.0", "1.0.0.0.1", "256.0.0", "1.256.0", "1.0.65536", "1.0.0-rc1", ""]:
            with self.subTest(version=version):
                with self.assertRaises(PackageFailed):
                    installer_version(version)


class ProductCodeTest(unittest.TestCase):
    # Windows Installer upgrades by the first three numbers: builds alike in
    # those must be one product, or they would install side by side.
    def test_one_product_per_three_numbers(self):
        self.assertEqual(product_code("1.0.0.6"), product_code("1.0.0.7"))
        self.assertEqual(product_code("1.0.0.6"), product_code("1.0.0"))
        for other in ["1.0.1", "1.1.0", "2.0.0", "0.9.0"]:
            with self.subTest(other=other):
                self.assertNotEqual(product_code("1.0.0.6"), product_code(other))


if __name__ == "__main__":
    unittest.main()
