#!/usr/bin/env python3
"""Drives the counter board in headless Chromium (Debian's chromium and
chromium-driver through python3-selenium): logs in, has an order sent while
the list is open, and expects it listed and highlighted within 3 seconds;
opens it and sees its thumbnails; with --status, sets that status with the
order page's button and sees it shown.

    board_browser.py [--status NAME] URL PASSWORD -- SEND-COMMAND...

Exit status 0 when all of that happened; the reason on stderr otherwise.
"""
import argparse
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait


def browser(profile_dir):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                "--window-size=1280,900", "--user-data-dir=" + profile_dir):
        options.add_argument(arg)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("url")
    parser.add_argument("password")
    parser.add_argument("--status")
    parser.add_argument("send", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    send = args.send[1:] if args.send[:1] == ["--"] else args.send

    with tempfile.TemporaryDirectory() as profile_dir:
        driver = browser(profile_dir)
        try:
            wait = WebDriverWait(driver, 20)
            driver.get(args.url)
            field = wait.until(lambda d: d.find_element(By.ID, "password") if
                               d.find_element(By.ID, "password").is_displayed() else None)
            field.send_keys(args.password)
            field.submit()
            wait.until(lambda d: d.find_element(By.ID, "count").text.endswith("orders"))
            before = len(driver.find_elements(By.CSS_SELECTOR, "#rows tr"))

            subprocess.run(send, check=True, stdout=subprocess.DEVNULL)
            sent = time.monotonic()
            WebDriverWait(driver, 3, poll_frequency=0.05).until(
                lambda d: len(d.find_elements(By.CSS_SELECTOR, "#rows tr")) > before)
            print("listed %.2f s after it was received" % (time.monotonic() - sent))
            fresh = driver.find_elements(By.CSS_SELECTOR, "#rows tr.fresh")
            if not fresh:
                sys.exit("the new order is not highlighted")

            fresh[0].find_element(By.CSS_SELECTOR, "td.number a").click()
            wait.until(lambda d: d.find_elements(By.CSS_SELECTOR, ".pictures img"))
            wait.until(lambda d: all(d.execute_script("return arguments[0].naturalWidth", img) > 0
                                     for img in d.find_elements(By.CSS_SELECTOR, ".pictures img")))
            if args.status:
                wait.until(lambda d: d.find_elements(By.CSS_SELECTOR, ".actions button"))
                buttons = driver.find_elements(By.CSS_SELECTOR, ".actions button")
                [button] = [b for b in buttons if b.get_attribute("data-status") == args.status]
                button.click()
                wait.until(lambda d: d.find_elements(
                    By.CSS_SELECTOR, ".order-head .status." + args.status))
        finally:
            driver.quit()


if __name__ == "__main__":
    main()
